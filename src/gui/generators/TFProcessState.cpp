#include "gui/generators/TFProcessState.h"

#include "gui/generators/WorkerThread.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TFProcessState::TFProcessState(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Calculation in progress..."));
    setModal(false);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label1 = new QLabel(QStringLiteral("0"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setMinimumWidth(30);
    Label2 = new QLabel(QStringLiteral("%"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    // Space and Return press Cancel, which holds the focus from the start.
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &TFProcessState::Button1Click);

    auto* row = new QHBoxLayout;
    row->addWidget(ProgressBar1, 1);
    row->addWidget(Label1);
    row->addWidget(Label2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    resize(320, 100);
}

void TFProcessState::SetCalcThread(WorkerThread* thread) {
    calcThread_ = thread;
}

void TFProcessState::SetNoiseCalcThread(WorkerThread* thread) {
    noiseCalcThread_ = thread;
}

void TFProcessState::ShowProgress(int percent) {
    Label1->setText(QString::number(percent));
    ProgressBar1->setValue(percent);
}

void TFProcessState::Button1Click() {
    if (noiseCalcThread_) {
        noiseCalcThread_->RequestStop();
    }
    if (calcThread_) {
        calcThread_->RequestStop();
    }
}

void TFProcessState::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

// Escape asks the worker to stop, as Cancel does; the window stays until the worker has ended.
void TFProcessState::reject() {
    Button1Click();
}
