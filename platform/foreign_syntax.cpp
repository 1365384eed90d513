#include "platform/foreign_syntax.h"

#include <cstdint>

namespace velmora::platform {
namespace {

// The length of the UTF-8 sequence starting at text[at] and its code point; 0 when
// it is malformed, overlong, a surrogate or beyond U+10FFFF.
std::size_t utf8Sequence(const std::string& text, std::size_t at, std::uint32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

enum class Flaw { None, NotUtf8, Control };

Flaw firstFlaw(const std::string& text) {
    std::uint32_t code = 0;
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        if ((length = utf8Sequence(text, at, code)) == 0) return Flaw::NotUtf8;
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return Flaw::Control;
    }
    return Flaw::None;
}

}  // namespace

const ForeignSyntaxPlace& foreignSyntaxPlace(ForeignSyntax syntax) {
    for (const ForeignSyntaxPlace& place : kForeignSyntaxPlaces)
        if (place.syntax == syntax) return place;
    return kForeignSyntaxPlaces[0];  // every syntax has its row (checked by the tests)
}

std::optional<ForeignSyntax> desktopSyntax(DesktopFamily family) {
    switch (family) {
    case DesktopFamily::Gnome:
    case DesktopFamily::Cinnamon: return ForeignSyntax::GSettingsUri;
    case DesktopFamily::Mate: return ForeignSyntax::GSettingsPath;
    case DesktopFamily::Xfce: return ForeignSyntax::XfconfValue;
    case DesktopFamily::Plasma: return ForeignSyntax::PlasmaScript;
    case DesktopFamily::Lxqt:
    case DesktopFamily::Lxde: return ForeignSyntax::PcmanfmFile;
    case DesktopFamily::Sway: return ForeignSyntax::SwayCommand;
    case DesktopFamily::X11:
    case DesktopFamily::Unknown: return std::nullopt;
    }
    return std::nullopt;
}

std::string foreignTextProblem(ForeignSyntax syntax, const std::string& what, const std::string& text) {
    const ForeignSyntaxPlace& place = foreignSyntaxPlace(syntax);
    if (place.handover == Handover::Encoded || place.handover == Handover::Argument) return "";
    const std::string reader = place.reader;
    switch (firstFlaw(text)) {
    case Flaw::NotUtf8: return what + " is not valid UTF-8, which " + reader + " needs";
    case Flaw::Control: return what + " holds a control character (such as a line break), which " + reader + " cannot take";
    case Flaw::None: break;
    }
    for (const char* c = place.refused; *c != '\0'; ++c)
        if (text.find(*c) != std::string::npos)
            return what + " holds \"" + *c + "\", which " + reader + " does not take as it is";
    if (place.singleBlanks && text.find("  ") != std::string::npos)
        return what + " holds two blanks in a row, which " + reader + " reads as one";
    return "";
}

}  // namespace velmora::platform
