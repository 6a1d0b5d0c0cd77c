// The memory page's file transfers: a file written into memory, a memory range loaded into a file.
#include "core/MemoryImage.h"
#include "core/MemoryTransfer.h"
#include "pages/UnitMemory.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Notify.h"
#include "shell/DialogServices.h"
#include "shell/StatusInfo.h"
#include "shell/Unitprogress.h"

#include <QCoreApplication>
#include <QFile>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QString FILE_FILTER = "All files (*.*)|*.*|Hex files (*.HEX)|*.hex";
const QString DEFAULT_EXTENSION = "bin";

void WarningBox(const QString& text) {
    platform::ShowMessage(platform::MessageKind::Warning, text.toStdString());
}

// Seconds to one decimal, with the user's decimal separator.
QString Seconds(uint32_t startTick) {
    const uint32_t elapsed = platform::GetTickCount() - startTick;
    QString text = QString::asprintf("%.1f", elapsed / 1000.0);
    return text.replace('.', QString::fromStdString(platform::DecimalSeparator()));
}

// The page's side of a transfer: the progress dialog, shown from before the opening keep-alive to the
// end, with its percentage after each chunk and its Abort.
class DialogHooks : public MemoryTransferHooks {
public:
    DialogHooks(QWidget* owner, uint32_t count, std::function<void()> failedChunk)
        : dialog(std::make_unique<TFormProgress>(owner)), count(count), failedChunk(std::move(failedChunk)) {
        dialog->show();
        dialog->SetStatusText("Process...");
        dialog->repaint();
    }

    bool StopAfterChunk(uint32_t reached, bool moved) override {
        if (!moved && failedChunk)
            failedChunk();
        const int percent = static_cast<int>(static_cast<uint64_t>(reached) * 100 / count);
        if (percent > last) {
            dialog->SetPercent(percent);
            dialog->SetStatusText(QString::asprintf("Finish Percentage: %d%%", percent));
            last = percent;
        }
        // The dialog is not modal: its repaints and the Abort press are handled here.
        QCoreApplication::processEvents();
        return dialog->IsAborted();
    }

private:
    std::unique_ptr<TFormProgress> dialog;
    uint32_t count;
    std::function<void()> failedChunk;
    int last = -1;
};

// Runs one transfer with the progress dialog; the dialog is gone when it returns.
template <typename Run>
void TransferWithProgress(QWidget* owner, TMemoryAccess& memory, uint32_t count, std::function<void()> failedChunk,
                          const Run& run, bool& ok, bool& aborted) {
    MemoryTransfer::Outcome outcome;
    {
        DialogHooks hooks(owner, count, std::move(failedChunk));
        MemoryTransfer transfer(memory, hooks);
        outcome = run(transfer);
    }
    ok = outcome == MemoryTransfer::Outcome::Done;
    aborted = outcome == MemoryTransfer::Outcome::Stopped;
}

} // namespace

void TFormMemory::WriteWithProgress(uint8_t memoryType, uint32_t address, uint32_t count, const uint8_t* data, bool& ok,
                                    bool& aborted) {
    // A page deactivated meanwhile has no board to send to: that is no failure of the board.
    auto failedChunk = [this] {
        if (m_pBoard != nullptr)
            boardFailure = true;
    };
    // A write chunk is at most what the board object sends in one exchange.
    const uint32_t chunk = MemoryTransfer::TwentiethChunk(count, MEM_WRITE_CHUNK_MAX);
    TransferWithProgress(
        this, Memory(), count, failedChunk,
        [&](MemoryTransfer& transfer) { return transfer.Write(memoryType, address, data, count, chunk, true); }, ok,
        aborted);
}

void TFormMemory::ReadWithProgress(uint8_t memoryType, uint32_t address, uint32_t count, uint8_t* destination, bool& ok,
                                   bool& aborted) {
    // The board object splits a larger read chunk into exchanges.
    const uint32_t chunk = MemoryTransfer::TwentiethChunk(count, UINT32_MAX);
    TransferWithProgress(
        this, Memory(), count, nullptr,
        [&](MemoryTransfer& transfer) { return transfer.Read(memoryType, address, destination, count, chunk); }, ok,
        aborted);
}

void TFormMemory::WriteFileToMemory() {
    Dialogs().SetCursor(Qt::WaitCursor);
    SetControlsEnabled(false);
    transferring = true;
    const uint8_t type = SelectedMemType();
    const QString name = QString::fromStdString(TBoard::MemoryTypeName(type));
    ShowStatusInfo(QString("Write a File to %1...").arg(name), statuscolour::YELLOW);

    const uint32_t n = MemoryWordCount(type);
    const bool wholeFile = CheckBoxMemWriteFileLen->isChecked();
    uint32_t address = 0;
    uint32_t length = 0;
    bool ok = ParseHexField(EditMemWriteAddr->text(), "Address", 0, n - 1, address);
    if (ok && !wholeFile)
        ok = ParseHexField(EditMemWriteLen->text(), "Length", 1, n - address, length);

    if (!ok) {
        ShowStatusInfo("Invalud Input Data.", statuscolour::RED);
    } else {
        const uint32_t startTick = platform::GetTickCount();
        bool aborted = false;
        bool reported = false;
        QString path;
        if (!Dialogs().OpenFile(FILE_FILTER, DEFAULT_EXTENSION, path)) {
            aborted = true;
        } else {
            std::vector<uint8_t> data;
            const TImageLoadResult loaded = LoadMemoryImage(QFile::encodeName(path).toStdString(), wholeFile,
                                                            2ull * length, 2ull * (n - address), data);
            ok = loaded == TImageLoadResult::Ok;
            if (loaded == TImageLoadResult::ShorterThanLength) {
                WarningBox(QString("File(%1) size is less than the specified length.").arg(path));
                reported = true;
            } else if (loaded == TImageLoadResult::ReadError) {
                WarningBox(QString("Read file(%1) error.").arg(path));
                reported = true;
            }
            if (ok) {
                const auto count = static_cast<uint32_t>(data.size());
                WriteWithProgress(type, 2 * address, count, data.data(), ok, aborted);
                // The words written, a last odd byte counting as a word.
                if (ok && !aborted && wholeFile)
                    EditMemWriteLen->setText(QString::number((count + 1) / 2, 16).toUpper());
            }
        }

        if (aborted) {
            ShowStatusInfo(QString("Write a File to %1 Aborted.").arg(name), statuscolour::RED);
        } else {
            const QString result =
                QString("Write a File to %1 %2.[%3sec]").arg(name, ok ? "Success" : "Fail", Seconds(startTick));
            ShowStatusInfo(result, ok ? statuscolour::GREEN : statuscolour::RED);
            if (!ok && !reported)
                platform::ShowMessage(platform::MessageKind::Error, result.toStdString());
        }
    }

    transferring = false;
    SetControlsEnabled(m_pBoard != nullptr);
    Dialogs().SetCursor(Qt::ArrowCursor);
}

void TFormMemory::ReadMemoryToFile() {
    Dialogs().SetCursor(Qt::WaitCursor);
    SetControlsEnabled(false);
    transferring = true;
    const uint32_t startTick = platform::GetTickCount();
    const uint8_t type = SelectedMemType();
    const QString name = QString::fromStdString(TBoard::MemoryTypeName(type));
    ShowStatusInfo(QString("Load %1 Content to a File...").arg(name), statuscolour::YELLOW);

    const uint32_t n = MemoryWordCount(type);
    uint32_t address = 0;
    uint32_t length = n;
    bool ok = true;
    if (!CheckBoxMemReadEntireMem->isChecked()) {
        ok = ParseHexField(EditMemReadAddr->text(), "Address", 0, n - 1, address);
        if (ok)
            ok = ParseHexField(EditMemReadLen->text(), "Length", 1, n - address, length);
    }

    if (!ok) {
        ShowStatusInfo("Invalid Input Data.", statuscolour::RED);
    } else {
        bool aborted = false;
        QString path;
        if (!Dialogs().SaveFile(FILE_FILTER, DEFAULT_EXTENSION, path)) {
            aborted = true;
        } else {
            const uint32_t count = 2 * length;
            // Every byte is filled by the read before anything looks at it.
            const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(count);
            ReadWithProgress(type, 2 * address, count, buffer.get(), ok, aborted);
            if (ok) {
                const TImageSaveResult saved =
                    SaveMemoryImage(QFile::encodeName(path).toStdString(), buffer.get(), count);
                ok = saved == TImageSaveResult::Ok;
                if (saved == TImageSaveResult::ShortWrite)
                    WarningBox(QString("Write file(%1) error.").arg(path));
            }
        }

        if (aborted) {
            ShowStatusInfo(QString("Load %1 Content to a File Aborted.").arg(name), statuscolour::RED);
        } else {
            const QString result =
                QString("Load %1 Content to a File %2. (%3sec)").arg(name, ok ? "Success" : "Fail", Seconds(startTick));
            ShowStatusInfo(result, ok ? statuscolour::GREEN : statuscolour::RED);
            if (!ok)
                platform::ShowMessage(platform::MessageKind::Error, result.toStdString());
        }
    }

    transferring = false;
    SetControlsEnabled(m_pBoard != nullptr);
    Dialogs().SetCursor(Qt::ArrowCursor);
}
