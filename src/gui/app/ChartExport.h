#pragma once

#include <QString>

#include <string>

class QCustomPlot;
class QWidget;

// Image files of the charts, as the chart shows itself on screen. The kind follows the file
// name's extension: ".png" (a raster image) or ".svg" (vector graphics), in any letter case.

bool IsChartImageName(const QString& fileName);

// Writes the chart to fileName under a temporary name, renamed into place when complete, so an
// existing file is replaced whole or not at all. Returns an empty string, or why it failed.
QString SaveChartImage(QCustomPlot* chart, const QString& fileName);

// Writes text (CSV rows) to fileName the same way: whole or not at all. Returns an empty string,
// or why it failed.
QString SaveTextFile(const QString& fileName, const std::string& text);

// "Save Image...": asks for a PNG or SVG file name (starting in the folder last used for
// exports), writes the chart there and reports a failure in a message box.
void ExportChartImage(QCustomPlot* chart, QWidget* parent);
