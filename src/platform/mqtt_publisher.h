// Tracking events to an MQTT broker: each event's JSON to PREFIX/events (QoS 1), and a retained
// PREFIX/status of "online", "offline" on exit or, through the broker's last will, on a lost
// connection. A broker that is down or goes away never holds up tracking: the client reconnects
// in the background and the problem is told once on standard error.
#pragma once

#include <atomic>
#include <string>

#include "core/base/tracking_event.h"

struct mosquitto;

namespace tarvo {

class MqttPublisher : public TrackingEventSink {
 public:
  MqttPublisher(std::string host, int port, std::string prefix);
  ~MqttPublisher() override;
  MqttPublisher(const MqttPublisher&) = delete;
  MqttPublisher& operator=(const MqttPublisher&) = delete;

  // Starts the background connection; false (with the reason on stderr) when the client cannot
  // even be set up.
  bool Start();
  // "offline", then disconnects; waits at most about a second for the broker.
  void Stop();

  void OnTrackingEvent(const TrackingEvent& event) override;

  // The default prefix: "tarvo/" and this machine's name.
  static std::string DefaultPrefix();

 private:
  static void OnConnect(mosquitto* client, void* self, int result);
  static void OnDisconnect(mosquitto* client, void* self, int result);
  static void OnPublish(mosquitto* client, void* self, int id);
  void Publish(const std::string& topic, const std::string& payload, bool retain);
  void TellOnce(const std::string& text, bool problem);

  std::string host_;
  int port_;
  std::string prefix_;
  mosquitto* client_ = nullptr;
  std::atomic<bool> connected_{false};
  std::atomic<bool> problemTold_{false};
  std::atomic<int> offlineId_{-1};
  std::atomic<bool> offlineAcknowledged_{false};
  bool started_ = false;
};

}  // namespace tarvo
