#pragma once

#include <atomic>

namespace cli {

// Ctrl-C, as the tool takes it: while armed (during a transfer or a watch) it only asks the work to
// end at its next safe point; otherwise the program ends as usual. The signal handler calls Request,
// which is safe there.
class Interruption {
public:
    virtual ~Interruption() = default;

    void Arm() { armed = true; }
    void Disarm() { armed = false; }
    bool IsArmed() const { return armed; }
    void Request() { requested = true; }
    virtual bool Requested() { return requested; }

private:
    std::atomic<bool> armed = false;
    std::atomic<bool> requested = false;
};

// Arms an interruption for the life of a piece of work.
class ArmedInterruption {
public:
    explicit ArmedInterruption(Interruption& interruption) : interruption(interruption) { interruption.Arm(); }
    ~ArmedInterruption() { interruption.Disarm(); }
    ArmedInterruption(const ArmedInterruption&) = delete;
    ArmedInterruption& operator=(const ArmedInterruption&) = delete;

private:
    Interruption& interruption;
};

} // namespace cli
