#include "Sound.h"

namespace {

class CSilentSound : public Sound {
  public:
    void Play(const std::string&, bool) override {}
    void Beep() override {}
};

CSilentSound silent;
Sound* current = nullptr;

}  // namespace

Sound& GetSound() {
    return current ? *current : silent;
}

Sound* SetSound(Sound* sound) {
    Sound* previous = current;
    current = sound;
    return previous;
}
