#include "qt_window/wallpaper_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "browser/texts.h"
#include "qt_window/qt_text.h"

namespace velmora {

namespace {

QCheckBox* checkBox(const char* caption, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(qtText(caption), parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

WallpaperSettingsDialog::WallpaperSettingsDialog(const WallpaperSettingsRequest& request, QWidget* parent)
    : QDialog(parent), request_(request), form_(request.current) {
    setObjectName("WallpaperSettingsDialog");
    setWindowTitle(qtText(texts().wallpaperSettingsCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    fitBox = new QComboBox(this);
    fitBox->setObjectName("FitMode");
    for (const char* mode : WallpaperSettingsForm::fitCaptions()) fitBox->addItem(qtText(mode));
    perMonitorBox = checkBox(texts().perMonitorBox, "PerMonitor", this);
    rotateBox = checkBox(texts().rotateBox, "Rotate", this);
    intervalEdit = new QLineEdit(this);
    intervalEdit->setObjectName("Interval");
    orderBox = new QComboBox(this);
    orderBox->setObjectName("Order");
    for (const char* order : WallpaperSettingsForm::orderCaptions()) orderBox->addItem(qtText(order));
    pausedBox = checkBox(texts().pausedBox, "Paused", this);
    lockScreenBox = checkBox(texts().lockScreenBox, "LockScreen", this);
    leftOutBox = checkBox(texts().leftOutBox, "LeftOut", this);
    okButton = new QPushButton(qtText(texts().okButton), this);
    okButton->setObjectName("OkButton");
    okButton->setDefault(true);
    cancelButton = new QPushButton(qtText(texts().cancelButton), this);
    cancelButton->setObjectName("CancelButton");

    auto* form = new QFormLayout;
    form->addRow(qtText(texts().fitLabel), fitBox);
    form->addRow(perMonitorBox);
    auto* interval = new QHBoxLayout;
    interval->addWidget(rotateBox);
    interval->addWidget(intervalEdit);
    interval->addWidget(new QLabel(qtText(texts().intervalHint), this));
    form->addRow(interval);
    form->addRow(qtText(texts().orderLabel), orderBox);
    form->addRow(pausedBox);
    form->addRow(lockScreenBox);
    form->addRow(leftOutBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    showFields(form_.fields());
    connect(rotateBox, &QCheckBox::toggled, this, [this] { updateRotation(); });
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (request_.accept(choice())) accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void WallpaperSettingsDialog::showFields(const WallpaperSettingsFields& shown) {
    fitBox->setCurrentIndex(shown.fit);
    perMonitorBox->setChecked(shown.perMonitor);
    rotateBox->setChecked(shown.rotate);
    intervalEdit->setText(QString::fromStdString(shown.interval));
    orderBox->setCurrentIndex(shown.order);
    pausedBox->setChecked(shown.paused);
    lockScreenBox->setChecked(shown.lockScreen);
    leftOutBox->setChecked(shown.leftOut);
    leftOutBox->setEnabled(form_.leftOutAvailable());
    updateRotation();
}

WallpaperSettingsChoice WallpaperSettingsDialog::choice() const {
    return form_.choice({.fit = fitBox->currentIndex(),
                         .perMonitor = perMonitorBox->isChecked(),
                         .rotate = rotateBox->isChecked(),
                         .interval = intervalEdit->text().toStdString(),
                         .order = orderBox->currentIndex(),
                         .paused = pausedBox->isChecked(),
                         .lockScreen = lockScreenBox->isChecked(),
                         .leftOut = leftOutBox->isChecked()});
}

void WallpaperSettingsDialog::updateRotation() {
    const bool available = WallpaperSettingsForm::rotationFieldsAvailable(rotateBox->isChecked());
    intervalEdit->setEnabled(available);
    pausedBox->setEnabled(available);
}

}  // namespace velmora
