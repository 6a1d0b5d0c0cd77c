#pragma once

#include "shell/DialogServices.h"
#include "shell/StatusInfo.h"
#include "shell/Unitprogress.h"
#include "core/MemoryAccess.h"
#include "pages/UnitMemory.h"
#include "tests/support/Recorders.h"

#include <QColor>
#include <QTest>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace memorytest {

// File dialogs that answer from a script (an empty answer is a cancelled dialog) and record the calls.
class ScriptedDialogs : public TDialogServices {
public:
    ScriptedDialogs() { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(nullptr); }

    bool OpenFile(const QString& filter, const QString& defaultExt, QString& path) override {
        ++openCalls;
        return Answer(filter, defaultExt, path);
    }
    bool SaveFile(const QString& filter, const QString& defaultExt, QString& path) override {
        ++saveCalls;
        return Answer(filter, defaultExt, path);
    }
    void SetCursor(Qt::CursorShape shape) override { cursors.push_back(shape); }

    std::deque<std::optional<QString>> answers;
    int openCalls = 0;
    int saveCalls = 0;
    std::vector<QString> filters;
    std::vector<QString> extensions;
    std::vector<Qt::CursorShape> cursors;
    // Runs when a dialog is asked for, inside the operation that asks.
    std::function<void()> onAsk;

private:
    bool Answer(const QString& filter, const QString& defaultExt, QString& path) {
        if (onAsk)
            onAsk();
        filters.push_back(filter);
        extensions.push_back(defaultExt);
        if (answers.empty() || !answers.front()) {
            if (!answers.empty())
                answers.pop_front();
            return false;
        }
        path = *answers.front();
        answers.pop_front();
        return true;
    }
};

struct StatusLine {
    QString text;
    QColor colour;
};

// Every text shown on the status-information line while it lives.
class StatusRecorder {
public:
    StatusRecorder() {
        SetStatusInfoSink([this](const QString& text, const QColor& colour) { lines.push_back({text, colour}); });
    }
    ~StatusRecorder() { SetStatusInfoSink({}); }
    const StatusLine& Last() const { return lines.back(); }

    std::vector<StatusLine> lines;
};

// Forwards to another memory access and counts; hooks run before each call is forwarded.
class CountingAccess : public TMemoryAccess {
public:
    explicit CountingAccess(TMemoryAccess* target = nullptr) : target(target) {}

    bool KeepAlive() override {
        ++keepAlives;
        if (beforeKeepAlive)
            beforeKeepAlive(keepAlives);
        if (keepAliveResult)
            return *keepAliveResult;
        return target == nullptr || target->KeepAlive();
    }
    bool MemoryWrite(uint8_t type, uint32_t address, const uint8_t* data, uint32_t count) override {
        chunks.push_back({address, count});
        if (beforeChunk)
            beforeChunk(chunks.size());
        return target == nullptr || target->MemoryWrite(type, address, data, count);
    }
    bool MemoryRead(uint8_t type, uint32_t address, uint8_t* destination, uint32_t count) override {
        chunks.push_back({address, count});
        if (beforeChunk)
            beforeChunk(chunks.size());
        return target == nullptr || target->MemoryRead(type, address, destination, count);
    }

    struct Chunk {
        uint32_t address;
        uint32_t count;
    };
    TMemoryAccess* target;
    int keepAlives = 0;
    std::optional<bool> keepAliveResult;
    std::vector<Chunk> chunks;
    std::function<void(int)> beforeKeepAlive;
    std::function<void(size_t)> beforeChunk;
};

// The memory page in a plain parent, shown offscreen, with the dialogs, boxes and status line recorded.
class PageHarness {
public:
    PageHarness() : page(new TFormMemory(&host)) {
        page->OnUpdateTestArea = [this] { ++testAreaUpdates; };
        page->OnBoardError = [this](TPageForm* sender) { boardErrors.push_back(sender); };
        host.resize(page->size());
        host.show();
    }

    // A press and release of the mouse in the middle of the skinned button with this id.
    void Click(int id) {
        const skin::TCustomButton* button = page->Buttons()->FindById(id);
        ASSERT_NE(button, nullptr);
        const QPoint at(button->GetLeft() + button->GetWidth() / 2, button->GetTop() + button->GetHeight() / 2);
        QTest::mouseMove(page, at);
        QTest::mousePress(page, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(page, Qt::LeftButton, Qt::NoModifier, at);
    }

    // The texts of the boxes shown so far, in order.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& m : notes.messages)
            texts.push_back(m.text);
        return texts;
    }

    testsupport::NotifyRecorder notes;
    ScriptedDialogs dialogs;
    StatusRecorder status;
    QWidget host;
    TFormMemory* page;
    int testAreaUpdates = 0;
    std::vector<TPageForm*> boardErrors;
};

} // namespace memorytest
