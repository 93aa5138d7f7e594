#pragma once
// The eleven state pictures as the booth engine sees them. Putting a picture on a button can
// fail (the system may refuse the image); the booth then leaves the button hidden, tries again
// on its next tick and has the picture loaded anew.

namespace miradel {

class BoothPictures {
  public:
    virtual ~BoothPictures() = default;
    // True when the picture can be put on a button now.
    virtual bool Usable(int picture) = 0;
    // Loads the picture anew from the program's resources.
    virtual void Reload(int picture) = 0;
};

// Pictures that are always usable: the core's default and the headless office's.
class AlwaysUsablePictures final : public BoothPictures {
  public:
    bool Usable(int) override { return true; }
    void Reload(int) override {}
};

}  // namespace miradel
