#pragma once

#include "core/MemoryAccess.h"
#include "pages/PageForm.h"
#include "skin/Buttonmanager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <functional>
#include <memory>

// The memory page: random access to one 16-bit SDRAM word, a file written into memory and a memory
// range loaded into a file. Addresses and lengths on the page count 16-bit words.
class TFormMemory : public TPageForm {
    Q_OBJECT
public:
    explicit TFormMemory(QWidget* parent);
    ~TFormMemory() override;

    void Activate(TBoard& board) override;
    void Deactivate() override;

    // The entry selected in the memory-type list, -1 for none.
    int SelectedMemTypeIndex() const;
    // Raised when the selected memory type changes; the host shows or hides the SDRAM frame by it.
    std::function<void()> OnUpdateTestArea;

    // The transfers go through this instead of the board object while it is set (nullptr: the board).
    void SetMemoryAccess(TMemoryAccess* access) { m_pMemoryOverride = access; }

    // The chunked transfers behind the two file operations, with the progress dialog; ok is false
    // after a failure or an abort.
    void WriteWithProgress(uint8_t memoryType, uint32_t address, uint32_t count, const uint8_t* data, bool& ok,
                           bool& aborted);
    void ReadWithProgress(uint8_t memoryType, uint32_t address, uint32_t count, uint8_t* destination, bool& ok,
                          bool& aborted);

    // Validates a hexadecimal field against its bounds, showing the box that says what is wrong.
    static bool ParseHexField(const QString& text, const QString& fieldName, int64_t minimum, int64_t maximum,
                              uint32_t& value);
    uint32_t MemoryWordCount(uint8_t memoryType) const;
    QString ZeroAddressText(uint8_t memoryType) const;
    // The list entry of a memory type: its name, word count and byte size in the largest unit that fits.
    static QString MemoryTypeEntryText(const QString& name, uint32_t byteSize);

    QLabel* LabelType;
    QComboBox* ComboBoxMemType;
    QLabel* LabelRandomAccess;
    QLabel* LabelMemRdmAddr;
    QLineEdit* EditMemRdmAddr;
    QLabel* LabelMemRdmWrite;
    QLineEdit* EditMemRdmWrite;
    QLabel* LabelMemRdmRead;
    QLineEdit* EditMemRdmRead;
    QLabel* LabelSeqWrite;
    QLabel* LabelMemWriteAddr;
    QLineEdit* EditMemWriteAddr;
    QLabel* LabelMemWriteLen;
    QLineEdit* EditMemWriteLen;
    QCheckBox* CheckBoxMemWriteFileLen;
    QLabel* LabelFileLength;
    QLabel* LabelSeqRead;
    QLabel* LabelMemReadAddr;
    QLineEdit* EditMemReadAddr;
    QLabel* LabelMemReadLen;
    QLineEdit* EditMemReadLen;
    QCheckBox* CheckBoxMemReadEntireMem;
    QLabel* LabelEntireMemory;
    QLabel* ImageFlashNote;
    QLabel* LabelMemFlashHint;
    // Hidden plain buttons: they give the skinned buttons their positions and enabled flags.
    QPushButton* ButtonMemoryRandomRead;
    QPushButton* ButtonMemoryRandomWrite;
    QPushButton* ButtonMemRdmErase;
    QPushButton* ButtonMemWrite2FMem;
    QPushButton* ButtonMemRead2File;

    skin::TButtonManager* Buttons() { return m_pButtons.get(); }

    void ButtonMemoryRandomReadClick();
    void ButtonMemoryRandomWriteClick();
    void ButtonMemWrite2FMemClick();
    void ButtonMemRead2FileClick();
    void CheckBoxMemReadEntireMemClick();
    void CheckBoxMemWriteFileLenClick();
    void LabelEntireMemoryClick();
    void LabelFileLengthClick();
    void ComboBoxMemTypeChange();
    void ComboBoxMemTypeSelect();

protected:
    void FormPaint() override;
    void ButtonClick(skin::TButtonManager& group, int id) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void SetControlsEnabled(bool enabled);
    void UpdateEraseControls();
    uint8_t SelectedMemType() const;
    TMemoryAccess& Memory();

    void RandomWrite();
    void RandomRead();
    void WriteFileToMemory();
    void ReadMemoryToFile();

    std::unique_ptr<skin::TButtonManager> m_pButtons;
    MemoryLayout memoryLayout;
    int lastTypeIndex = 0;
    bool boardFailure = false;
    // A file transfer is under way: it lets events run, and the page may be deactivated and activated
    // again meanwhile; its buttons stay disabled until it ends.
    bool transferring = false;
    TBoardMemoryAccess boardAccess;
    TMemoryAccess* m_pMemoryOverride = nullptr;
};
