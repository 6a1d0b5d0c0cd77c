#pragma once

#include "skin/Canvas.h"
#include "skin/CustomButton.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QWidget;

namespace skin {

enum TButtonGroupMode : uint8_t { gmRadio = 0, gmPush = 1, gmToggle = 2 };

// A group of skinned buttons on one window: paints them, turns the window's mouse events into hover,
// press and click, and keeps the checked flags by its mode. A click is reported as the button's id.
class TButtonManager {
public:
    TButtonManager(QWidget* owner, TCanvas* canvas, TButtonGroupMode mode);
    ~TButtonManager();
    TButtonManager(const TButtonManager&) = delete;
    TButtonManager& operator=(const TButtonManager&) = delete;

    void AddButton(int id, const QString& caption, const QString& resourceName, int left, int top);
    void DrawAll();
    bool MouseMove(int x, int y, bool resetCursor);
    bool MouseDown(int x, int y);
    int MouseUp(int x, int y);
    TCustomButton* FindAt(int x, int y);
    TCustomButton* FindById(int id);
    void Redraw(int id);
    void SetEnabled(int id, bool enabled);
    bool IsChecked(int id);
    void SetChecked(int id, bool checked);
    void UncheckAll();
    bool IsOverButton(int x, int y);
    void SetBitmap(int id, const QString& resourceName);
    void SetCaption(int id, const QString& caption);

    int HotId() const { return m_nHotId; }
    bool Pressed() const { return m_bPressed; }
    // Whether the group holds the mouse for its owner (a move onto a button takes it; leaving every
    // button and every release give it back).
    bool Captured() const { return captured; }

private:
    std::vector<std::unique_ptr<TCustomButton>> buttons;
    int m_nHotId = -1;
    QWidget* m_hOwner;
    TCanvas* m_pCanvas;
    TButtonGroupMode m_nMode;
    bool m_bPressed = false;
    bool captured = false;
};

} // namespace skin
