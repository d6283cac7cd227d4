#pragma once
#include <functional>
#include <ostream>

namespace netsetup::cli {

// Ctrl+C (and SIGTERM, SIGHUP, the death of the process that started the tool) as the commands
// see it. A first interrupt stops the work at its next exchange, except a write whose first chunk
// is out: that one is finished (every chunk, and the reading back when asked) so the instrument
// never keeps half of the new settings, and only a second interrupt stops it at the next chunk.
class Interrupts {
 public:
  // `count`: how many interrupts have come so far (the console's; a test's script). `notices`:
  // where to say at once what an interrupt during a write will do.
  Interrupts(std::function<unsigned()> count, std::ostream& notices) : count_(std::move(count)), notices_(notices) {}

  unsigned count() const { return count_ ? count_() : 0; }
  bool any() const { return count() > 0; }

  // The link's stop check, asked between polls: whether the work in hand should stop now.
  bool stopAsked();

  // Marks the time a write is committed to: from begin() to the scope's end a single interrupt
  // lets the write (and its reading back) finish.
  class WriteScope {
   public:
    explicit WriteScope(Interrupts& interrupts) : interrupts_(interrupts) {}
    ~WriteScope() { interrupts_.writing_ = false; }
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    void begin();

   private:
    Interrupts& interrupts_;
  };

 private:
  void notice(unsigned count);

  std::function<unsigned()> count_;
  std::ostream& notices_;
  bool writing_ = false;
  unsigned noticed_ = 0;  // interrupts already said something about
};

}  // namespace netsetup::cli
