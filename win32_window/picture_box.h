#pragma once
// The picture area (`ScrollBox1` with `Image1`): a black child window with the hand
// cursor that draws the current picture centred and fitted into the picture's place
// (PictureDisplay), at the window's DPI in device pixels. A click on the picture's
// place opens the viewer; a paint that put the picture on screen, and a decoder error
// found while painting (once the paint has returned), are handed to the callbacks.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "browser/display_target.h"
#include "browser/picture_click.h"
#include "browser/picture_display.h"
#include "browser/window_layout.h"

namespace velmora::win32 {

class PictureBox {
public:
    struct Callbacks {
        std::function<void()> clicked;
        std::function<void()> painted;
        std::function<void(const std::string&)> decodeFailed;
    };

    static void registerClass(HINSTANCE instance);
    void create(HWND parent, HINSTANCE instance, int id, Callbacks callbacks);
    HWND handle() const { return window_; }

    // Places the area (client pixels of the parent) and the picture's place in it, in
    // design pixels, at dpi.
    void place(const RECT& area, const DialogRect& picture, int dpi);
    void setPicture(const JpegPicture& picture, std::optional<std::string> decoderError);
    void clear();
    PictureDisplay& display() { return display_; }
    // The picture's place in design pixels with the DPI's pixel ratio: fitted as on any
    // screen, decoded for the device pixels of the fitted rectangle.
    DisplayTarget displayTarget() const;
    RECT pictureRect() const { return picture_; }
    // The window's messages (window_procedure.h).
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void paint();
    bool onPicture(LPARAM point) const;

    HWND window_ = nullptr;
    Callbacks callbacks_;
    PictureDisplay display_;
    PictureClick click_;
    DialogRect place_{};  // the picture's place inside the area, design pixels
    int dpi_ = 96;
    RECT picture_{};  // the same in device pixels
};

}  // namespace velmora::win32
