#pragma once
// Every place where Velmora writes a path into text that another program reads in
// a syntax of its own (a unit file, a sway command, a scheduled task, a desktop
// script or setting), and how each keeps the path from being read as anything but
// a path. Each place does one of three things:
//   - checks it before anything is written: a control character ends a line or a
//     command there, and text that is not UTF-8 is dropped or refused, so either is
//     refused with a message, as is any character the syntax reads on its own;
//   - encodes it as a percent-encoded file URI, in which nothing is syntax;
//   - hands over a name Velmora controls instead (a link under its own folder).
// A path that goes over as a whole argument of a program that stores it as it is
// has a row too. A new desktop or writer adds its row here, and desktopSyntax()
// warns at compile time until it does.

#include <optional>
#include <string>

#include "platform/wallpaper_backends.h"

namespace velmora::platform {

enum class ForeignSyntax {
    SystemdUnit,    // the rotation timer's drop-ins
    SystemdProgram, // the program in their ExecStart=
    ScheduledTask,  // the rotation task's command line (schtasks /TR)
    SwayCommand,    // swaymsg output ... bg FILE
    PlasmaScript,   // plasmashell's evaluateScript, and kscreenlockerrc's Image
    GSettingsUri,   // GNOME's and Cinnamon's picture-uri
    GSettingsPath,  // MATE's picture-filename, a GVariant string
    XfconfValue,    // xfconf-query -s FILE
    PcmanfmFile,    // pcmanfm(-qt) --set-wallpaper FILE
};

enum class Handover { Checked, Encoded, OwnName, Argument };

struct ForeignSyntaxPlace {
    ForeignSyntax syntax;
    const char* reader;    // who reads the text, as messages name it
    const char* writer;    // the source file that writes it
    Handover handover;
    const char* refused;   // characters refused besides control characters
    bool singleBlanks;     // two blanks in a row are refused (read as one)
};

inline constexpr ForeignSyntaxPlace kForeignSyntaxPlaces[] = {
    // Lines end at \n and \r; "%" is doubled, quotes and backslashes escaped.
    {ForeignSyntax::SystemdUnit, "a systemd unit file", "platform/rotation_timer_linux.cpp", Handover::Checked, "", false},
    // The same, and systemd refuses an executable's path that holds a quote or a backslash.
    {ForeignSyntax::SystemdProgram, "systemd's ExecStart=", "platform/rotation_timer_linux.cpp", Handover::Checked,
     "\"'\\", false},
    // "%NAME%" is an environment variable there, with no way to escape it.
    {ForeignSyntax::ScheduledTask, "the Task Scheduler", "platform/rotation_timer_win32.cpp", Handover::Checked, "%",
     false},
    // sway joins the command's words with one blank and expands $variables of its config.
    {ForeignSyntax::SwayCommand, "sway", "platform/wallpaper_commands.cpp", Handover::OwnName, "$\"'\\", true},
    {ForeignSyntax::PlasmaScript, "Plasma's desktop script", "platform/wallpaper_plasma.cpp", Handover::Encoded, "",
     false},
    {ForeignSyntax::GSettingsUri, "GSettings", "platform/wallpaper_gsettings.cpp", Handover::Encoded, "", false},
    // Quotes and backslashes are escaped in the GVariant literal.
    {ForeignSyntax::GSettingsPath, "MATE's GSettings", "platform/wallpaper_gsettings.cpp", Handover::Checked, "", false},
    {ForeignSyntax::XfconfValue, "xfconf", "platform/wallpaper_xfce.cpp", Handover::Argument, "", false},
    {ForeignSyntax::PcmanfmFile, "pcmanfm", "platform/wallpaper_commands.cpp", Handover::Argument, "", false},
};

const ForeignSyntaxPlace& foreignSyntaxPlace(ForeignSyntax syntax);

// The syntax a desktop family's wallpaper path goes into; none where no other
// program reads it (the X root window is drawn here).
std::optional<ForeignSyntax> desktopSyntax(DesktopFamily family);

// "" when `text` may go into that syntax as it is (always for encoded and argument
// places); else one line saying why not: a control character (C0, DEL, C1), bytes
// that are not UTF-8, or what the row refuses. It names the text as `what` ("the
// collection's path") without quoting it.
std::string foreignTextProblem(ForeignSyntax syntax, const std::string& what, const std::string& text);

}  // namespace velmora::platform
