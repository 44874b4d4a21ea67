// The entries of a window's message map: a handler object that calls one operation of its
// owner (normally a virtual operation of the application object) with the message block.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/events/window_messages.h"

class CWindow;

// What every handler receives. `result` is what the window procedure returns for a handled
// message (0 unless a handler sets it).
struct MessageBlock {
  CWindow* window = nullptr;
  uint32_t message = 0;
  uint32_t wparam = 0;
  int32_t lparam = 0;
  plat::RequestPayload* payload = nullptr;  // typed data of a request sent from another thread
  int32_t result = 0;
};

class CMessageHandlerBase {
 public:
  virtual ~CMessageHandlerBase() = default;
  // 0 when the message is handled; otherwise default processing follows.
  virtual int Invoke(MessageBlock& block) = 0;
};

class CMessageHandler : public CMessageHandlerBase {
 public:
  // Calls `operation` of `owner`; a virtual operation dispatches on the owner's own class.
  template <class Owner>
  CMessageHandler(Owner* owner, int (Owner::*operation)(MessageBlock&))
      : call_([owner, operation](MessageBlock& block) { return (owner->*operation)(block); }) {}

  int Invoke(MessageBlock& block) override { return call_(block); }

 private:
  std::function<int(MessageBlock&)> call_;
};
