#include "core/app/call_history.h"

#include <cstdio>

#include "core/app/call_log.h"
#include "core/app/operator_handlers.h"
#include "core/base/decode_health.h"

namespace tarvo {
namespace {

constexpr std::size_t kReportsPerMinute = 6;
constexpr const char* kFreeIdField = "---";

}  // namespace

CallHistory::CallHistory(MainState& state, OperatorHandlers& handlers, const DecodeHealth& health)
    : state_(state), handlers_(handlers), health_(health) {}

void CallHistory::Open(const std::filesystem::path& logPath) {
  if (open_) return;
  open_ = true;
  for (const TrackingEvent& event : ReadCallLogTail(logPath, kCapacity)) Add(event);
}

void CallHistory::OnTrackingEvent(const TrackingEvent& event) {
  if (!open_) return;
  Add(event);
  listener_();
}

void CallHistory::Add(const TrackingEvent& event) {
  if (event.event == "health") {
    healthReports_.push_front(event);
    if (healthReports_.size() > kReportsPerMinute) healthReports_.pop_back();
    return;
  }
  rows_.push_front(event);
  if (rows_.size() > kCapacity) rows_.pop_back();
}

bool CallHistory::Matches(const TrackingEvent& row, const std::string& filter) {
  if (filter.empty()) return true;
  return row.id.find(filter) != std::string::npos || row.line.find(filter) != std::string::npos;
}

std::string CallHistory::HealthText() const {
  int frames = 0;
  int rejected = 0;
  for (const TrackingEvent& report : healthReports_) {
    frames += report.frames.value_or(0);
    rejected += report.rejected.value_or(0);
  }
  char text[160];
  const double silent = health_.SilentSeconds();
  if (healthReports_.empty()) {
    std::snprintf(text, sizeof text, "フレーム -/分  エラー -/分  最終受信 %.0f 秒前", silent);
  } else {
    // Scaled to a minute when fewer than six reports have come in yet.
    const double scale = static_cast<double>(kReportsPerMinute) / healthReports_.size();
    std::snprintf(text, sizeof text, "フレーム %.0f/分  エラー %.0f/分  最終受信 %.0f 秒前",
                  frames * scale, rejected * scale, silent);
  }
  return text;
}

std::string CallHistory::WarningText() const {
  if (!state_.TrackingOn || health_.SilentSeconds() < kSilenceWarningSeconds) return "";
  return "警告: 制御チャンネルを 30 秒以上受信できません";
}

bool CallHistory::AddToPassList(const std::string& id) {
  if (state_.IdSpecificReception() || !state_.Button7Enabled || id.empty()) return false;
  state_.Edit2.text = id;
  handlers_.Button7Click();
  return true;
}

bool CallHistory::PutIntoFreeIdField(const std::string& id) {
  if (state_.IdSpecificReception() || id.empty()) return false;
  if (state_.Edit3.text == kFreeIdField) {
    state_.Edit2.text = id;
    handlers_.Edit3Click();
    return true;
  }
  if (state_.Edit4.text == kFreeIdField) {
    state_.Edit2.text = id;
    handlers_.Edit4Click();
    return true;
  }
  return false;
}

}  // namespace tarvo
