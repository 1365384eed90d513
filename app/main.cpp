// velmora: reads the command line, then sets the application title, creates the main
// window and runs the message loop until it closes.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/data_folder.h"
#include "base/process_memory.h"
#include "browser/texts.h"
#include "cli/command_line_linux.h"
#include "cli/maintenance_cli.h"
#include "cli/user_collection_linux.h"
#include "cli/velmora_version.h"
#include "cli/wallpaper_cli_linux.h"
#include "platform/keyring.h"
#include "platform/language_setting.h"
#include "platform/linux_platform.h"
#include "platform/process_runner.h"
#include "platform/xdg_dirs.h"
#include "platform/settings_file_linux.h"
#include "qt_window/main_window.h"
#include "qt_window/system_clipboard.h"

namespace {

// Help, version, bad usage and the wallpaper options finish here, before any display is
// needed. Returns the exit status, or -1 to go on and open the window.
int runWithoutWindow(const velmora::CommandLine& commandLine, velmora::Language language, int argc, char** argv) {
    using Action = velmora::CommandLine::Action;
    switch (commandLine.action) {
    case Action::Help:
        std::fputs(velmora::helpText(language).c_str(), stdout);
        return 0;
    case Action::Version:
        std::fputs(velmora::versionText().c_str(), stdout);
        return 0;
    case Action::Invalid:
        std::fputs(velmora::invalidCommandLineText(commandLine.error).c_str(), stderr);
        return 2;
    case Action::Wallpaper:
        if (std::optional<int> status = velmora::runWallpaperCommandLine(argc, argv)) return *status;
        std::fputs(velmora::invalidCommandLineText(velmora::kWallpaperOptionsFirst).c_str(), stderr);
        return 2;
    case Action::Maintenance:
        return velmora::runMaintenance(commandLine.maintenance, std::cout, std::cerr);
    case Action::Browse:
        break;
    }
    return -1;
}

// Qt's own words (the file dialogs' buttons and labels) in the interface's language.
void translateQt(QApplication& application, QTranslator& translator, velmora::Language language) {
    if (language != velmora::Language::Chinese) return;
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        application.installTranslator(&translator);
    }
}

}  // namespace

int main(int argc, char** argv) {
    velmora::mapLargeBuffersAlone();
    velmora::CommandLine commandLine = velmora::parseCommandLine(argc, argv);
    velmora::platform::SettingsFile settingsFile;
    const velmora::Language language =
        velmora::platform::startLanguage(commandLine.language, settingsFile, velmora::platform::systemLanguage());
    velmora::useLanguage(language);
    if (int status = runWithoutWindow(commandLine, language, argc, argv); status >= 0) return status;
    if (commandLine.userCollection) {
        try {
            velmora::enterUserCollection(velmora::userCollectionFolder(), velmora::emptyCollectionPath());
        } catch (const std::exception& error) {
            // The window still opens; opening the collection then reports what is missing.
            std::fprintf(stderr, "velmora: %s\n", error.what());
        }
    }

    QApplication application(argc, argv);
    application.setApplicationName("Velmora");
    application.setApplicationVersion(velmora::kVelmoraVersion);
    QGuiApplication::setDesktopFileName("example.velmora.Velmora");
    QGuiApplication::setWindowIcon(QIcon::fromTheme("velmora"));
    QTranslator qtTranslator;
    translateQt(application, qtTranslator, language);

    velmora::platform::LinuxPlatform linuxPlatform;
    velmora::platform::Platform platform = linuxPlatform.platform();
    velmora::QtClipboard clipboard;
    velmora::SystemWallpaperSettings wallpaperSettings;

    velmora::BrowserServices services;
    services.clipboard = &clipboard;
    services.platform = &platform;
    services.wallpaperSettings = &wallpaperSettings.services();
    services.thumbnailStore = velmora::platform::xdgCacheHome() + "/velmora/thumbnails.db";
    services.languageSetting = &settingsFile;
    services.recentServers = &settingsFile;
    const std::unique_ptr<velmora::platform::Keyring> keyring = velmora::platform::systemKeyring();
    services.keyring = keyring.get();
    services.openUrl = [](const std::string& url) {
        // As on Windows nothing is shown when no browser starts; standard error says why.
        // The desktop's opener by its full path, the address a plain argument.
        if (!velmora::platform::startProgram({"xdg-open", url})) {
            std::fprintf(stderr, "velmora: cannot open %s: no web browser found (xdg-open of xdg-utils starts one)\n",
                         url.c_str());
        }
    };

    // The window settles the screen's depth, opens the collection and shows itself.
    velmora::MainWindow form(services, commandLine.file);
    return application.exec();
}
