// A form of the remote: a background, three state pictures and an ordered array of
// elements that are drawn from them and react to the pen.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "remote/CCodebaseSlot.h"
#include "remote/CSkinElement.h"
#include "resources/Strings.h"
#include "store/FormTables.h"

class ModalRunner;
class QFont;
class QFontMetrics;
class QPainter;
class QWidget;
class RemoteFiles;
class CSkinForm;
class Sound;

// The handheld pixel under a position on a picture shown `scale` times as large: every
// screen pixel of a scaled handheld pixel belongs to it.
QPoint HandheldPoint(QPointF position, int scale);

// Pen-down and pen-up results besides a panel element's id.
enum FormAction : int {
    kActionNone = -2,          // nothing hit (or nothing pressed)
    kActionButton = -1,        // a button was pressed or released
    kActionCodebaseName = 101  // the codebase-name area was tapped
};

// What a press and a release of a remote button do beyond drawing: sending in normal
// mode, learning in learning mode. The remote window provides it.
class ButtonActions {
  public:
    virtual ~ButtonActions() = default;
    // After the button has been drawn Pressed.
    virtual void ButtonDown(CSkinForm& form, int index) = 0;
    // Before the release redraws the button. In learning mode it returns whether the
    // button was learnt; in normal mode its result does not matter.
    virtual bool ButtonUp(CSkinForm& form, int index) = 0;
};

class CSkinForm {
  public:
    // The remote forms draw at 240 x 268, the greeting at 240 x 320.
    static constexpr int kWidth = 240;
    static constexpr int kRemoteHeight = 268;
    static constexpr int kGreetingHeight = 320;
    static constexpr int kNoticeString = kStrNoCodebaseNotice;
    static constexpr int kMissingSkinString = kStrMissingSkin;

    CSkinForm(RemoteFiles* files, ModalRunner& modal, int slotId);
    virtual ~CSkinForm();
    CSkinForm(const CSkinForm&) = delete;
    CSkinForm& operator=(const CSkinForm&) = delete;

    // Builds remote form `form` (0 to 11) from the form tables: its buttons, then the
    // twelve panel elements, its pictures in `baseFolder` + "Skins\", the name area.
    void BuildRemoteForm(int form, const QString& baseFolder);

    // Loads the background and the state pictures, then the elements' own pictures. A
    // missing or unreadable file shows "Cannot find skin-file " with its full path, asks
    // the owner to close, and returns false.
    bool LoadImages();
    void ReleaseImages();
    bool ImagesLoaded() const { return imagesLoaded_; }

    // Draws the whole form into its canvas (nothing while its pictures are not loaded).
    void Draw();
    // Draws the whole form onto `target` within `rect`.
    void Draw(QPainter& target, const QRect& rect);
    // The picture of the form as last drawn; elements drawn at once land here too.
    const QImage& Canvas() const { return canvas_; }

    int PenDown(int x, int y);
    // Counts a press of element `index` (by the pen or a hardware key) for the turn between
    // a button's two signals, and sets the signal it sends.
    void CountPress(int index);
    int PenUp();

    // 0 normal, 1 learning.
    void SetLearning(int mode);
    int Learning() const { return learning_; }
    // Re-checks the hot codebase and sets every button Active or Disabled by whether the
    // codebase holds its signal (normal mode only).
    void RefreshButtons();
    // Negative values leave a flag as it is. Returns the index of the first element with
    // `id`, or -1.
    int SetElementFlags(int id, int enabled, int visible);
    void SetKindFlags(int kind, int enabled, int visible);
    // Sets an element's state and draws it; nothing when it is in that state already.
    void SetElementState(int index, int state);
    // Draws one element into the canvas at once.
    void DrawElement(int index);

    int FindElement(int id) const;
    CRemoteButton& Element(int index) { return elements_[static_cast<size_t>(index)]; }
    const CRemoteButton& Element(int index) const { return elements_[static_cast<size_t>(index)]; }
    int ElementCount() const { return static_cast<int>(elements_.size()); }
    CCodebaseSlot& Slot() { return slot_; }
    const CCodebaseSlot& Slot() const { return slot_; }
    // The element last pressed (it stays remembered after its release), or -1.
    int PressedIndex() const { return pressedIndex_; }
    bool ElementPressed() const { return elementPressed_; }
    uint8_t PressCount() const { return pressCount_; }

    // Appends an element; a form holds at most 99.
    CRemoteButton& AddElement();

    // The path of a sound file of the form; plays it when sounds are on.
    void PlaySound(const char* file, bool synchronous) const;

    QWidget* owner = nullptr;
    ButtonActions* actions = nullptr;
    bool showCodebaseName = false;
    bool greetingForm = false;
    bool soundsOn = true;
    Sound* sound = nullptr;  // null: silent
    int learnMode = 0;       // 0 single, 1 double
    QString baseFolder;
    QString skinFolder;
    // Background, then the state pictures disabled, active, pressed.
    QString backgroundName;
    std::array<QString, kStateImageCount> stateImageNames;
    FormRect nameArea{57, 9, 97, 12};  // right 154 and bottom 21 are outside

  private:
    bool LoadImage(const QString& name, QImage& image);
    void WriteCodebaseName(QPainter& painter) const;
    void Press(int index);
    StateImages StateImagePointers() const;

    RemoteFiles* files_;
    ModalRunner& modal_;
    CCodebaseSlot slot_;
    std::vector<CRemoteButton> elements_;
    QImage background_;
    std::array<QImage, kStateImageCount> stateImages_;
    bool imagesLoaded_ = false;
    QImage canvas_;
    int learning_ = 0;
    int pressedIndex_ = -1;
    bool elementPressed_ = false;
    uint8_t pressCount_ = 1;
};

// The text in the name area: the longest prefix of `name` that fits `width` together with
// "...", the name itself when it fits, or nothing (a name of 2 characters or less that
// does not fit is not shortened).
QString FitCodebaseName(const QString& name, const QFontMetrics& metrics, int width);
// The font of the name area: Arial 11 px bold.
QFont CodebaseNameFont();
