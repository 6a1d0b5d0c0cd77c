#pragma once

#include "board/Board.h"
#include "skin/BitmapManager.h"
#include "skin/Buttonmanager.h"
#include "skin/SkinForm.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

// What every page offers its host: a borderless child form drawn from its background (id 0 of its
// bitmap manager, client height 20 pixels less than the picture), Activate with the board object,
// Deactivate, and the OnBoardError event raised with the page as sender when a board operation fails.
class TPageForm : public skin::TSkinForm {
    Q_OBJECT
public:
    using BoardErrorHandler = std::function<void(TPageForm* sender)>;

    TPageForm(QWidget* parent, const QString& backgroundName);
    ~TPageForm() override;

    virtual void Activate(TBoard& board) = 0;
    virtual void Deactivate() = 0;
    // Whether the page holds a board: between Activate and Deactivate.
    bool IsActive() const { return m_pBoard != nullptr; }

    BoardErrorHandler OnBoardError;

protected:
    void RaiseBoardError();

    // The page's skinned button groups, in the order the mouse reaches them: a press goes to every
    // group, a move to the first that has a button there, a release to each until one reports a click,
    // which comes to ButtonClick.
    void AddButtonGroup(skin::TButtonManager& group);
    virtual void ButtonClick(skin::TButtonManager& group, int id);
    void FormMouseDown(int x, int y) override;
    void FormMouseMove(int x, int y) override;
    void FormMouseUp(int x, int y) override;

    std::unique_ptr<skin::TBitmapManager> m_pBitmaps;
    TBoard* m_pBoard = nullptr; // bound between Activate and Deactivate

private:
    std::vector<skin::TButtonManager*> buttonGroups;
};
