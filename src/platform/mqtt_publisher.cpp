#include "platform/mqtt_publisher.h"

#include <mosquitto.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/base/tracking_event_json.h"

namespace tarvo {
namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kQos = 1;

// The library is set up once per process and torn down with the last client.
struct MosquittoLibrary {
  MosquittoLibrary() { mosquitto_lib_init(); }
  ~MosquittoLibrary() { mosquitto_lib_cleanup(); }
};

void UseLibrary() {
  static MosquittoLibrary library;
}

}  // namespace

MqttPublisher::MqttPublisher(std::string host, int port, std::string prefix)
    : host_(std::move(host)), port_(port), prefix_(std::move(prefix)) {}

MqttPublisher::~MqttPublisher() {
  Stop();
  if (client_ != nullptr) mosquitto_destroy(client_);
}

std::string MqttPublisher::DefaultPrefix() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "tarvo/tarvo";
  return std::string("tarvo/") + name;
}

bool MqttPublisher::Start() {
  UseLibrary();
  client_ = mosquitto_new(nullptr, true, this);
  if (client_ == nullptr) {
    std::fprintf(stderr, "tarvo-track: cannot set up the MQTT client\n");
    return false;
  }
  const std::string status = prefix_ + "/status";
  mosquitto_will_set(client_, status.c_str(), 7, "offline", kQos, true);
  mosquitto_connect_callback_set(client_, &MqttPublisher::OnConnect);
  mosquitto_disconnect_callback_set(client_, &MqttPublisher::OnDisconnect);
  mosquitto_publish_callback_set(client_, &MqttPublisher::OnPublish);
  mosquitto_reconnect_delay_set(client_, 1, 30, true);
  if (mosquitto_loop_start(client_) != MOSQ_ERR_SUCCESS) {
    std::fprintf(stderr, "tarvo-track: cannot start the MQTT client\n");
    return false;
  }
  started_ = true;
  const int result = mosquitto_connect_async(client_, host_.c_str(), port_, kKeepAliveSeconds);
  if (result != MOSQ_ERR_SUCCESS) {
    TellOnce("MQTT broker " + host_ + ":" + std::to_string(port_) + " unreachable (" +
                 mosquitto_strerror(result) + "); retrying in the background",
             true);
  }
  return true;
}

void MqttPublisher::Stop() {
  if (!started_) return;
  started_ = false;
  if (connected_) {
    int id = 0;
    const std::string offline = "offline";
    mosquitto_publish(client_, &id, (prefix_ + "/status").c_str(), static_cast<int>(offline.size()),
                      offline.data(), kQos, true);
    offlineId_ = id;
    // The broker acknowledges "offline" after every event before it; wait for that, briefly.
    for (int i = 0; i < 40 && connected_ && !offlineAcknowledged_; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    mosquitto_disconnect(client_);
  }
  mosquitto_loop_stop(client_, !connected_);
}

void MqttPublisher::OnConnect(mosquitto*, void* self, int result) {
  auto* publisher = static_cast<MqttPublisher*>(self);
  if (result != 0) return;
  publisher->connected_ = true;
  publisher->Publish(publisher->prefix_ + "/status", "online", true);
  publisher->TellOnce(
      "MQTT broker " + publisher->host_ + ":" + std::to_string(publisher->port_) + " connected",
      false);
}

void MqttPublisher::OnDisconnect(mosquitto*, void* self, int result) {
  auto* publisher = static_cast<MqttPublisher*>(self);
  publisher->connected_ = false;
  if (result == 0) return;  // our own goodbye
  publisher->TellOnce("MQTT broker " + publisher->host_ + ":" + std::to_string(publisher->port_) +
                          " lost; retrying in the background",
                      true);
}

void MqttPublisher::OnPublish(mosquitto*, void* self, int id) {
  auto* publisher = static_cast<MqttPublisher*>(self);
  if (id == publisher->offlineId_) publisher->offlineAcknowledged_ = true;
}

void MqttPublisher::TellOnce(const std::string& text, bool problem) {
  // One line when the broker goes, one when it is back: not one per retry.
  if (problemTold_.exchange(problem) == problem) return;
  std::fprintf(stderr, "tarvo-track: %s\n", text.c_str());
}

void MqttPublisher::Publish(const std::string& topic, const std::string& payload, bool retain) {
  mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                    payload.data(), kQos, retain);
}

void MqttPublisher::OnTrackingEvent(const TrackingEvent& event) {
  // While the broker is away the events stay in the call log only: a queue would grow for as
  // long as the outage lasts.
  if (!started_ || !connected_) return;
  Publish(prefix_ + "/events", FormatEventJson(event), false);
}

}  // namespace tarvo
