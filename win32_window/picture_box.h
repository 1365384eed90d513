#pragma once
// The picture area (`ScrollBox1` with `Image1`): a black child window with the hand
// cursor that draws the current picture centred and fitted into the picture's place
// (PictureDisplay), at the window's DPI in device pixels. A click on the picture
// opens the viewer; a paint that put the picture on screen, and a decoder error found
// while painting, are handed to the callbacks.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "browser/display_target.h"
#include "browser/picture_display.h"

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

    // Places the area (client pixels of the parent) and the picture's rectangle in it.
    void place(const RECT& area, const RECT& picture);
    void setPicture(const JpegPicture& picture, std::optional<std::string> decoderError);
    void clear();
    PictureDisplay& display() { return display_; }
    // The picture's place in device pixels; pixel ratio 1 (the layout is scaled).
    DisplayTarget displayTarget() const;
    RECT pictureRect() const { return picture_; }
    // The window's messages (window_procedure.h).
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void paint();

    HWND window_ = nullptr;
    Callbacks callbacks_;
    PictureDisplay display_;
    RECT picture_{};  // the picture's place inside the area
};

}  // namespace velmora::win32
