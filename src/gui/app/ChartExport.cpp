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

ExportName AskExportName(QWidget* parent, const QString& title, const QStringList& filters) {
    // The suffix in a filter's "(*.csv)".
    const auto suffixOf = [](const QString& filter) {
        const qsizetype dot = filter.lastIndexOf(QLatin1Char('.'));
        const qsizetype end = filter.indexOf(QLatin1Char(')'), dot);
        return dot < 0 ? QString() : filter.mid(dot + 1, end < 0 ? -1 : end - dot - 1);
    };
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(FileDialogFolder(FileKind::Export));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(filters.isEmpty() ? QString() : suffixOf(filters.constFirst()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, &suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    ExportName chosen{dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
    RememberFileDialogFolder(FileKind::Export, chosen.FileName);
    return chosen;
}

QString ExportFailedText(const QString& fileName, const QString& error) {
    return QStringLiteral("%1\ncould not be written: %2.")
        .arg(QDir::toNativeSeparators(fileName), error);
}

void ReportExportFailure(QWidget* parent, const QString& title, const QString& fileName,
                         const QString& error) {
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, title, ExportFailedText(fileName, error));
    }
}

void ExportChartImage(QCustomPlot* chart, QWidget* parent) {
    const QString title = QStringLiteral("Save Image");
    const ExportName name = AskExportName(
        parent, title, {QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG image (*.svg)")});
    if (!name.FileName.isEmpty()) {
        ReportExportFailure(parent, title, name.FileName, SaveChartImage(chart, name.FileName));
    }
}
