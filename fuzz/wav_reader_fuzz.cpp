// The streaming WAV reader on any bytes, read in blocks of a size the input picks: it either
// refuses the header or gives whole frames of the declared format, never more data than the file
// holds, and says whether the data was cut short.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/audio/wav_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t blockFrames = 1 + data[0] % 64;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  tarvo::WavReader reader(in);
  if (!reader.ReadHeader().empty()) return 0;
  const int channels = reader.Channels();
  FUZZ_CHECK(channels == 1 || channels == 2);
  const int rate = reader.SampleRate();
  FUZZ_CHECK(rate == 11025 || rate == 22050 || rate == 44100);

  std::vector<std::int16_t> block(blockFrames * 2);
  std::uint64_t frames = 0;
  for (;;) {
    const std::size_t got = reader.ReadFrames(block.data(), blockFrames);
    FUZZ_CHECK(got <= blockFrames);
    if (got == 0) break;
    frames += got;
  }
  FUZZ_CHECK(reader.ReadFrames(block.data(), blockFrames) == 0);  // over stays over
  const std::uint64_t frameBytes = 2u * static_cast<std::uint64_t>(channels);
  FUZZ_CHECK(frames * frameBytes <= reader.DataBytesRead());
  FUZZ_CHECK(reader.DataBytesRead() <= reader.DeclaredDataBytes());
  FUZZ_CHECK(reader.DataBytesRead() <= size);
  const bool whole = reader.DataBytesRead() == reader.DeclaredDataBytes() &&
                     reader.DeclaredDataBytes() % frameBytes == 0;
  FUZZ_CHECK(reader.Truncated() == !whole);
  return 0;
}
