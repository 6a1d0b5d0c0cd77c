#pragma once

#include "board/Board.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtagLink.h"
#include "tests/support/Recorders.h"

#include <gtest/gtest.h>

namespace testsupport {

// A board connected over a scripted link, with the clock and the beeps under the test's control.
// Every library read costs one millisecond of the substitute clock.
struct LinkedBoard : ::testing::Test {
    LinkedBoard() {
        link.clock = &clock;
        std::string error;
        connected = board.Connect(error, 0);
    }

    // The board answers every request with this reply frame.
    void AnswerWith(const std::vector<uint8_t>& frame) {
        link.onWrite = [this, frame](const std::vector<uint8_t>&) { link.Queue(frame); };
    }

    FakeClock clock{100000, 0};
    NotifyRecorder notes;
    FakeJtagLink link;
    TBoard board{FakeJtagLink::Api()};
    bool connected = false;
};

} // namespace testsupport
