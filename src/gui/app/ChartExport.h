#pragma once

#include <QString>
#include <QStringList>

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

// The Save dialog of every export: a save dialog titled title with the given name filters
// ("CSV file (*.csv)"), starting in the folder last used for exports, whose default suffix
// follows the filter chosen. Returns the name chosen (its folder remembered for the next export)
// and the filter it was chosen under, or an empty name when the user cancelled.
struct ExportName {
    QString FileName;
    QString Filter;
};
ExportName AskExportName(QWidget* parent, const QString& title, const QStringList& filters);

// The message box of a failed export: "<file>\ncould not be written: <error>." under title.
QString ExportFailedText(const QString& fileName, const QString& error);
void ReportExportFailure(QWidget* parent, const QString& title, const QString& fileName,
                         const QString& error);

// "Save Image...": asks for a PNG or SVG file name (starting in the folder last used for
// exports), writes the chart there and reports a failure in a message box.
void ExportChartImage(QCustomPlot* chart, QWidget* parent);
