#pragma once
// A click on a picture, for every window: the left button pressed on the picture and
// released on it. A release whose press began elsewhere is no click: the release left
// over from a double-click in a file dialog that closed over the picture opens nothing.

namespace velmora {

class PictureClick {
public:
    void press(bool onPicture) { pressed_ = onPicture; }
    // True when this release ends a click.
    bool release(bool onPicture) {
        const bool click = pressed_ && onPicture;
        pressed_ = false;
        return click;
    }
    // The press is lost (the pointer was taken elsewhere).
    void cancel() { pressed_ = false; }

private:
    bool pressed_ = false;
};

}  // namespace velmora
