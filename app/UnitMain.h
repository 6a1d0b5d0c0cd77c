#pragma once

#include "board/Board.h"
#include "core/ConnectionWorkflow.h"
#include "skin/Animate.h"
#include "skin/BitmapManager.h"
#include "skin/Buttonmanager.h"
#include "skin/SkinForm.h"

#include <QColor>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TPageForm;

// A highlight frame on the board picture: a yellow outline two pixels wide, no fill. It lets the
// mouse through to the window, so that dragging and the buttons work over it.
class TShape : public QWidget {
    Q_OBJECT
public:
    TShape(QWidget* parent, int left, int top, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The panel's only top-level window: the skinned board picture with six page tabs, the window
// buttons, the status area and the page area, and the connection workflow behind the connect button,
// whose steps it shows in its status area, gauge and boxes.
class TFormMain : public skin::TSkinForm, private ConnectionHooks {
    Q_OBJECT
public:
    static constexpr int8_t WELCOME_PAGE = 8;
    static constexpr int PAGE_COUNT = 6;
    static constexpr int ID_CLOSE = 9;
    static constexpr int ID_ABOUT = 10;
    static constexpr int ID_MINI = 11;
    static constexpr int ID_CONNECT = 12;

    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;
    TFormMain(const TFormMain&) = delete;
    TFormMain& operator=(const TFormMain&) = delete;

    // Connection workflow.
    void ButtonConnectClick();
    bool ConnectBoard();
    void ResetToDisconnected();
    void DeactivateCurrentPage();
    void HandleBoardError(TPageForm* sender);
    void EnableControls(bool enabled);
    void SetStatusInfo(const QString& text, const QColor& colour);
    void SetConnectStatus(const QString& text, const QColor& colour);
    void StartProgress(uint32_t duration, int32_t from, int32_t to);
    void HoldProgress();
    void StopProgress();
    void TimerRunTimer();
    void TimerProgressTimer();

    // Skin and page hosting.
    void BuildSkin();
    void FormCreate();
    void CreatePages();
    void DestroyPages();
    void SwitchPage(int8_t index);
    void NotifyPage(int8_t index, bool active);
    void HighlightPeripheral(int8_t index);
    void ShowWelcome(bool visible);
    bool IsOnBackground(int x, int y);
    void ButtonAboutClick();
    void ButtonMiniClick();

    TBoard& Board() { return m_Board; }
    int8_t CurrentPage() const { return m_nCurrentPage; }
    TPageForm* Page(int index) const { return m_pPages.at(static_cast<size_t>(index)); }
    skin::TButtonManager* TabButtons() const { return m_pTabButtons.get(); }
    skin::TButtonManager* WindowButtons() const { return m_pWindowButtons.get(); }
    bool Connecting() const { return m_bConnecting; }
    const std::string& Device() const { return m_strDevice; }

    QPushButton* ButtonConnect;
    QPushButton* ButtonClose;
    QPushButton* ButtonMini;
    QPushButton* ButtonAbout;
    QLabel* ImageBackground;
    QLabel* LabelCaption;
    QLabel* LabelConnectStatus;
    QLabel* LabelInfo;
    QLabel* ImageInfo;
    QProgressBar* CGaugeConfig;
    QTimer* TimerRun;
    QTimer* TimerProgress;
    skin::TAnimate* AnimateWelcome;
    TShape* ShapeSegDisp;
    TShape* ShapeLed;
    TShape* ShapeButtonSw;
    TShape* ShapeButton;
    TShape* ShapeSDCARD;
    TShape* ShapeSDRAM;
    TShape* ShapeVGA;

protected:
    void FormPaint() override;
    void FormMouseDown(int x, int y) override;
    void FormMouseMove(int x, int y) override;
    void FormMouseUp(int x, int y) override;

private:
    void Status(const std::string& text, Tone tone) override;
    void Detecting() override;
    void Probed(bool ok, const std::string& error, bool lastTry) override;
    void ConfigureBegins() override;
    void DownloadBegins() override;
    void ConfigureFailed(const std::string& error) override;

    void CreateControls();
    void UpdateTestArea();

    TBoard m_Board;
    bool m_bConnecting = false;
    float m_fTimeScale = 1.0f;
    std::string m_strDevice;
    int32_t m_nProgressFrom = 0;
    int32_t m_nProgressTo = 0;
    uint32_t m_nProgressDuration = 0;
    uint32_t m_nProgressStart = 0;

    std::unique_ptr<skin::TBitmapManager> m_pBitmaps;
    std::unique_ptr<skin::TButtonManager> m_pTabButtons;
    std::unique_ptr<skin::TButtonManager> m_pWindowButtons;
    std::array<TPageForm*, PAGE_COUNT> m_pPages{};
    int8_t m_nCurrentPage = WELCOME_PAGE;
};

// The one main window while it exists; set by the program's entry.
extern TFormMain* FormMain;
