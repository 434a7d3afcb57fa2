// Elements of a skin form: rectangles drawn from the form's pictures by their state, and
// the remote buttons and panel elements built on them.
#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

#include "ir/IrSignal.h"

class QPainter;
class CCodebaseSlot;

enum ElementState : uint8_t {
    kStateDisabled = 0,  // drawn from the disabled picture, cannot be hit
    kStateActive = 1,
    kStatePressed = 2,
    kStateDimmed = 3,  // looks disabled but can be hit (an unlearnt button while learning)
};

enum ElementKind : uint8_t {
    kKindButton = 0,
    kKindPanel = 1,
};

// Where an element takes its pictures from.
enum ImageSource : int32_t {
    kImagesOfForm = 0,  // the form's three state pictures
    kImagesOwn = 1,     // three pictures of its own, drawn with a transparent colour
};

constexpr int kStateImageCount = 3;  // index 0 disabled, 1 active, 2 pressed
using StateImages = std::array<const QImage*, kStateImageCount>;

class CSkinElement {
  public:
    virtual ~CSkinElement() = default;

    // Only the two known sources are taken; anything else leaves the source as it is.
    void SetImageSource(int32_t source);
    int32_t GetImageSource() const { return imageSource_; }
    // A state of 4 or more is stored as Disabled.
    void SetState(int state) { state_ = state < 4 ? static_cast<uint8_t>(state) : 0; }
    uint8_t GetState() const { return state_; }
    // Dimmed looks like Disabled.
    int ImageIndex() const { return state_ == kStateDimmed ? 0 : state_; }

    // A hit lies strictly inside the rectangle: the first column and row are outside, like
    // the last ones. Only a visible, enabled element that is not Disabled can be hit.
    bool HitTest(int x, int y) const;
    // Draws the element onto `target` at its rectangle, from the form's state pictures or
    // from its own pictures. Nothing is drawn for an invisible element or a rectangle that
    // is empty or leaves the 240 x 320 screen.
    void Draw(QPainter* target, const StateImages* stateImages) const;

    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t transparentColour = 0xFF00FF;
    bool visible = true;
    bool enabled = true;

    // Own pictures (image source 1): file names in the skin folder, and the loaded images.
    std::array<QString, kStateImageCount> imageNames;
    std::array<QImage, kStateImageCount> ownImages;
    bool ownImagesLoaded = false;
    QString skinFolder;

  private:
    int32_t imageSource_ = kImagesOfForm;
    uint8_t state_ = kStateActive;
};

// Every element of a form is a remote button: a button of the form's table, or a panel
// element (the navigation tabs and the rest), told apart by kind.
class CRemoteButton : public CSkinElement {
  public:
    // Only Button and Panel are taken.
    void SetKind(int kind) {
        if (kind >= 0 && kind < 2) {
            kind_ = static_cast<uint8_t>(kind);
        }
    }
    uint8_t GetKind() const { return kind_; }

    CCodebaseSlot* slot = nullptr;
    QString name;
    int32_t id = -1;
    // A button: the hot codebase holds a signal under its name. A panel element: drawn
    // Active rather than Dimmed after its release.
    bool hasSignal = false;
    uint8_t whichSignal = 1;  // the stored signal a send takes: 1 first, 2 second
    IrSignal signal;          // the last signal read for sending

  private:
    uint8_t kind_ = kKindButton;
};
