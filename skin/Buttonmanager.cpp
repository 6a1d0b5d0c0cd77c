#include "skin/Buttonmanager.h"

#include "skin/ApplicationCursor.h"

namespace skin {

TButtonManager::TButtonManager(QWidget* owner, TCanvas* canvas, TButtonGroupMode mode)
    : m_hOwner(owner), m_pCanvas(canvas), m_nMode(mode) {}

TButtonManager::~TButtonManager() = default;

void TButtonManager::AddButton(int id, const QString& caption, const QString& resourceName, int left, int top) {
    buttons.push_back(std::make_unique<TCustomButton>(id, caption, resourceName, left, top, true));
}

void TButtonManager::DrawAll() {
    for (const auto& button : buttons) {
        button->Paint(*m_pCanvas);
    }
}

bool TButtonManager::MouseMove(int x, int y, bool resetCursor) {
    TCustomButton* button = FindAt(x, y);
    if (button != nullptr) {
        SetApplicationCursor(Qt::PointingHandCursor);
        button->PaintFace(*m_pCanvas, m_bPressed ? facePressed : faceHot);
        if (button->GetId() != m_nHotId && m_nHotId >= 0) {
            Redraw(m_nHotId);
        }
        m_nHotId = button->GetId();
        // Held for the owner: Qt's implicit grab keeps the moves coming while a mouse button is down,
        // and the owner's leaving, also onto one of its children, brings a hot button back to rest.
        captured = true;
        return true;
    }
    if (resetCursor) {
        SetApplicationCursor(Qt::ArrowCursor);
    }
    if (m_nHotId >= 0) {
        Redraw(m_nHotId);
        m_nHotId = -1;
    }
    captured = false;
    return false;
}

bool TButtonManager::MouseDown(int x, int y) {
    TCustomButton* button = FindAt(x, y);
    if (button == nullptr) {
        return false;
    }
    button->PaintFace(*m_pCanvas, facePressed);
    m_bPressed = true;
    return true;
}

int TButtonManager::MouseUp(int x, int y) {
    int result = -1;
    TCustomButton* button = FindAt(x, y);
    if (button != nullptr) {
        result = button->GetId();
        if (m_nMode == gmRadio) {
            UncheckAll();
            button->SetChecked(true);
        } else if (m_nMode == gmToggle) {
            button->SetChecked(!button->GetChecked());
        }
        button->Paint(*m_pCanvas);
    }
    m_bPressed = false;
    captured = false;
    return result;
}

TCustomButton* TButtonManager::FindAt(int x, int y) {
    for (const auto& button : buttons) {
        if (button->GetEnabled() && button->HitTest(x, y)) {
            return button.get();
        }
    }
    return nullptr;
}

TCustomButton* TButtonManager::FindById(int id) {
    for (const auto& button : buttons) {
        if (button->GetId() == id) {
            return button.get();
        }
    }
    return nullptr;
}

void TButtonManager::Redraw(int id) {
    if (TCustomButton* button = FindById(id)) {
        button->Paint(*m_pCanvas);
    }
}

void TButtonManager::SetEnabled(int id, bool enabled) {
    if (TCustomButton* button = FindById(id)) {
        button->SetEnabled(enabled);
        button->Paint(*m_pCanvas);
    }
}

bool TButtonManager::IsChecked(int id) {
    const TCustomButton* button = FindById(id);
    return button != nullptr && button->GetChecked();
}

void TButtonManager::SetChecked(int id, bool checked) {
    if (TCustomButton* button = FindById(id)) {
        button->SetChecked(checked);
        button->Paint(*m_pCanvas);
    }
}

void TButtonManager::UncheckAll() {
    for (const auto& button : buttons) {
        button->SetChecked(false);
        button->Paint(*m_pCanvas);
    }
}

bool TButtonManager::IsOverButton(int x, int y) {
    return FindAt(x, y) != nullptr;
}

void TButtonManager::SetBitmap(int id, const QString& resourceName) {
    if (TCustomButton* button = FindById(id)) {
        button->LoadBitmap(resourceName);
        button->Paint(*m_pCanvas);
    }
}

void TButtonManager::SetCaption(int id, const QString& caption) {
    if (TCustomButton* button = FindById(id)) {
        button->SetCaption(caption);
        button->Paint(*m_pCanvas);
    }
}

} // namespace skin
