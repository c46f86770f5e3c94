#include "monitor/MonitorState.h"

namespace vorlane {

MonitorState::MonitorState() : settings_(std::make_shared<const WorkingSettingsValues>()) {}

void MonitorState::storeSettings(const WorkingSettingsValues& values) {
    auto snapshot = std::make_shared<const WorkingSettingsValues>(values);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_ = std::move(snapshot);
        ++generation_;
        if (command_ == Command::None) command_ = Command::Reset;
    }
    // A waiting worker works its deadline out again from the new interval;
    // the "RESET" itself waits for the next top of cycle.
    wake_.notify_all();
}

void MonitorState::prepareStart() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (command_ != Command::Stop) command_ = Command::None;
    failureCount_.store(0, std::memory_order_release);
    waitingProbes_.store(0, std::memory_order_release);
}

WorkerPhase MonitorState::requestStop() {
    WorkerPhase phase;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        command_ = Command::Stop;
        phase = phase_;
    }
    wake_.notify_all();
    return phase;
}

void MonitorState::requestResume() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (command_ != Command::Stop) command_ = Command::Resume;
    }
    wake_.notify_all();
}

void MonitorState::suspend() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        asleep_ = true;
    }
    wake_.notify_all();
}

void MonitorState::resumeFromSleep() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        asleep_ = false;
        restart_ = true;
        woke_ = true;
    }
    wake_.notify_all();
}

void MonitorState::pause() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paused_ = true;
    }
    wake_.notify_all();
}

void MonitorState::continueWatching() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paused_ = false;
        restart_ = true;
    }
    wake_.notify_all();
}

bool MonitorState::held() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return asleep_ || paused_;
}

std::shared_ptr<const WorkingSettingsValues> MonitorState::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

std::uint64_t MonitorState::generation() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

Command MonitorState::command() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return command_;
}

WorkerPhase MonitorState::phase() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return phase_;
}

std::wstring MonitorState::workingTarget() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::wstring text;
    for (const TargetStatus& target : targets_) {
        if (!text.empty()) text += L' ';
        text += target.address;
    }
    return text;
}

std::vector<MonitorState::TargetStatus> MonitorState::targets() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return targets_;
}

}  // namespace vorlane
