// Velmora: runs a wallpaper option of the command line without any window, or
// sets the application title, creates the main window and runs the
// message loop until it closes.
#include <QApplication>
#include <QDesktopServices>
#include <QScreen>
#include <QUrl>

#include "app/wallpaper_cli.h"
#include "browser/main_window.h"
#include "platform/linux_platform.h"
#include "browser/system_clipboard.h"
#include "store/picture/jpeg_picture.h"

int main(int argc, char** argv) {
    if (std::optional<int> status = velmora::runWallpaperCommandLine(argc, argv)) return *status;
    QApplication application(argc, argv);
    application.setApplicationName("Velmora");
    if (QScreen* screen = QGuiApplication::primaryScreen()) velmora::settleScreenDepth(screen->depth());

    velmora::platform::LinuxPlatform linuxPlatform;
    velmora::platform::Platform platform = linuxPlatform.platform();
    velmora::QtClipboard clipboard;

    velmora::BrowserServices services;
    services.clipboard = &clipboard;
    services.platform = &platform;
    services.openUrl = [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); };

    velmora::MainWindow form(services);
    form.show();
    return application.exec();
}
