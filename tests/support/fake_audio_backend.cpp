#include "support/fake_audio_backend.h"

namespace {

class FakeAudioDevice : public plat::AudioDevice {
 public:
  explicit FakeAudioDevice(const FakeAudioBackend& backend)
      : plat::AudioDevice(Kind::kManual),
        fail_initialize_(backend.fail_initialize),
        refuse_priority_(backend.refuse_priority_level),
        refuse_normal_(backend.refuse_normal_level),
        backend_(backend) {}

  uint32_t Initialize(const plat::AudioDeviceGuid* device) override {
    return fail_initialize_ ? plat::DSERR_NODRIVER : plat::AudioDevice::Initialize(device);
  }
  uint32_t SetCooperativeLevel(plat::WindowId window, int32_t level) override {
    if ((level >= plat::DSSCL_PRIORITY && refuse_priority_) || (level == plat::DSSCL_NORMAL && refuse_normal_)) {
      return plat::DSERR_INVALIDPARAM;
    }
    return plat::AudioDevice::SetCooperativeLevel(window, level);
  }
  uint32_t CreateSoundBuffer(const plat::SoundBufferDesc& desc, std::shared_ptr<plat::SoundBuffer>* buffer) override {
    if ((desc.flags & backend_.refused_buffer_flags) != 0) return plat::DSERR_CONTROLUNAVAIL;
    return plat::AudioDevice::CreateSoundBuffer(desc, buffer);
  }

 private:
  bool fail_initialize_;
  bool refuse_priority_;
  bool refuse_normal_;
  const FakeAudioBackend& backend_;
};

}  // namespace

std::unique_ptr<plat::AudioDevice> FakeAudioBackend::CreateDevice() {
  if (!make_devices) return nullptr;
  auto device = std::make_unique<FakeAudioDevice>(*this);
  last_device = device.get();
  return device;
}
