#include "gui/app/ChartExport.h"

#include "gui/app/FileDialogFolder.h"

#include <qcustomplot.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

QString Suffix(const QString& fileName) {
    return QFileInfo(fileName).suffix().toLower();
}

} // namespace

bool IsChartImageName(const QString& fileName) {
    const QString suffix = Suffix(fileName);
    return suffix == QLatin1String("png") || suffix == QLatin1String("svg");
}

QString SaveTextFile(const QString& fileName, const std::string& text) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        return file.errorString();
    }
    return QString();
}

QString SaveChartImage(QCustomPlot* chart, const QString& fileName) {
    if (!IsChartImageName(fileName)) {
        return QStringLiteral("the name must end in .png or .svg");
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    const int width = chart->width();
    const int height = chart->height();
    bool written = false;
    if (Suffix(fileName) == QLatin1String("png")) {
        written = chart->toPixmap(width, height).save(&file, "PNG");
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(chart->window()->windowTitle());
        QCPPainter painter;
        written = painter.begin(&svg);
        if (written) {
            chart->toPainter(&painter, width, height);
            written = painter.end();
        }
    }
    if (!written) {
        file.cancelWriting();
        return QStringLiteral("the image could not be made");
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return QString();
}

void ExportChartImage(QCustomPlot* chart, QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Save Image"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(FileDialogFolder(FileKind::Export));
    dialog.setNameFilters(
        {QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG image (*.svg)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f.contains(QLatin1String("svg")) ? QStringLiteral("svg")
                                                                 : QStringLiteral("png"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString fileName = dialog.selectedFiles().constFirst();
    RememberFileDialogFolder(FileKind::Export, fileName);
    const QString error = SaveChartImage(chart, fileName);
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, QStringLiteral("Save Image"),
                             QStringLiteral("%1\ncould not be written: %2.")
                                 .arg(QDir::toNativeSeparators(fileName), error));
    }
}
