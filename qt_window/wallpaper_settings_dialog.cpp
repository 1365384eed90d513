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

namespace velmora {

namespace {

QString qs(const char* text) { return QString::fromUtf8(text); }

QCheckBox* checkBox(const char* caption, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(qs(caption), parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

WallpaperSettingsDialog::WallpaperSettingsDialog(const WallpaperSettingsRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setObjectName("WallpaperSettingsDialog");
    setWindowTitle(qs(texts().wallpaperSettingsCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    fitBox = new QComboBox(this);
    fitBox->setObjectName("FitMode");
    fitBox->addItem(qs(texts().fitDesktop));
    for (const char* mode : texts().fitModes) fitBox->addItem(qs(mode));
    perMonitorBox = checkBox(texts().perMonitorBox, "PerMonitor", this);
    rotateBox = checkBox(texts().rotateBox, "Rotate", this);
    intervalEdit = new QLineEdit(this);
    intervalEdit->setObjectName("Interval");
    orderBox = new QComboBox(this);
    orderBox->setObjectName("Order");
    orderBox->addItems({qs(texts().orderInTurn), qs(texts().orderShuffle)});
    pausedBox = checkBox(texts().pausedBox, "Paused", this);
    lockScreenBox = checkBox(texts().lockScreenBox, "LockScreen", this);
    leftOutBox = checkBox(texts().leftOutBox, "LeftOut", this);
    okButton = new QPushButton(qs(texts().okButton), this);
    okButton->setObjectName("OkButton");
    okButton->setDefault(true);
    cancelButton = new QPushButton(qs(texts().cancelButton), this);
    cancelButton->setObjectName("CancelButton");

    auto* form = new QFormLayout;
    form->addRow(qs(texts().fitLabel), fitBox);
    form->addRow(perMonitorBox);
    auto* interval = new QHBoxLayout;
    interval->addWidget(rotateBox);
    interval->addWidget(intervalEdit);
    interval->addWidget(new QLabel(qs(texts().intervalHint), this));
    form->addRow(interval);
    form->addRow(qs(texts().orderLabel), orderBox);
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

    showChoice(request_.current);
    connect(rotateBox, &QCheckBox::toggled, this, [this] { updateRotation(); });
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (request_.accept(choice())) accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void WallpaperSettingsDialog::showChoice(const WallpaperSettingsChoice& shown) {
    fitBox->setCurrentIndex(shown.fit ? static_cast<int>(*shown.fit) + 1 : 0);
    perMonitorBox->setChecked(shown.perMonitor);
    rotateBox->setChecked(shown.rotate);
    intervalEdit->setText(QString::fromStdString(shown.interval));
    orderBox->setCurrentIndex(shown.order == RotationOrder::Shuffle ? 1 : 0);
    pausedBox->setChecked(shown.paused);
    lockScreenBox->setChecked(shown.lockScreen);
    leftOutBox->setChecked(shown.leftOut.value_or(false));
    leftOutBox->setEnabled(shown.leftOut.has_value());
    updateRotation();
}

WallpaperSettingsChoice WallpaperSettingsDialog::choice() const {
    WallpaperSettingsChoice chosen;
    if (fitBox->currentIndex() > 0) chosen.fit = platform::kFitModes[fitBox->currentIndex() - 1];
    chosen.perMonitor = perMonitorBox->isChecked();
    chosen.rotate = rotateBox->isChecked();
    chosen.interval = intervalEdit->text().toStdString();
    chosen.order = orderBox->currentIndex() == 1 ? RotationOrder::Shuffle : RotationOrder::InTurn;
    chosen.paused = chosen.rotate && pausedBox->isChecked();
    chosen.lockScreen = lockScreenBox->isChecked();
    if (leftOutBox->isEnabled()) chosen.leftOut = leftOutBox->isChecked();
    return chosen;
}

// The interval and the pause belong to a running rotation.
void WallpaperSettingsDialog::updateRotation() {
    intervalEdit->setEnabled(rotateBox->isChecked());
    pausedBox->setEnabled(rotateBox->isChecked());
}

}  // namespace velmora
