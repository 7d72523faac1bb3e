// What the history window shows: the tracking events, newest first, loaded from the call log
// when the window first opens and updated live; a filter on ID or line text; the decode health
// for the window's header; and the actions that put a caller's ID into the ID controls.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>

#include "core/base/main_state.h"
#include "core/base/tracking_event.h"

namespace tarvo {

class DecodeHealth;
class OperatorHandlers;

class CallHistory : public TrackingEventSink {
 public:
  static constexpr std::size_t kCapacity = 10000;
  static constexpr double kSilenceWarningSeconds = 30.0;

  CallHistory(MainState& state, OperatorHandlers& handlers, const DecodeHealth& health);

  // Loads the tail of the log once; events heard from then on are added live.
  void Open(const std::filesystem::path& logPath);
  bool IsOpen() const { return open_; }

  void OnTrackingEvent(const TrackingEvent& event) override;

  // Rows of the table, newest first: every event but the periodic health reports.
  const std::deque<TrackingEvent>& Rows() const { return rows_; }
  // Whether a row matches the filter text (part of its ID or line; empty matches all).
  static bool Matches(const TrackingEvent& row, const std::string& filter);

  // The header: frames and rejects per minute over the last minute of health reports, seconds
  // since the last frame, and a warning when tracking hears nothing on the control channel.
  std::string HealthText() const;
  std::string WarningText() const;

  // The caller's ID into the pass list, or into the first free ID field (Edit3, Edit4), through
  // the operator's handlers. False when the ID controls are locked (ID-specific reception) or,
  // for a field, when none is free.
  bool AddToPassList(const std::string& id);
  bool PutIntoFreeIdField(const std::string& id);

  // Called after each live event (not after Open, which the caller follows with a full read).
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void Add(const TrackingEvent& event);

  MainState& state_;
  OperatorHandlers& handlers_;
  const DecodeHealth& health_;
  bool open_ = false;
  std::deque<TrackingEvent> rows_;           // newest first
  std::deque<TrackingEvent> healthReports_;  // the last minute's, newest first
  std::function<void()> listener_ = [] {};
};

}  // namespace tarvo
