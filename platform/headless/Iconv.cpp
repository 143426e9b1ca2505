#include "platform/headless/Iconv.h"

#include <iconv.h>

#include <cerrno>

namespace qv::headless {
namespace {

class Converter {
 public:
  Converter(const std::string& from, const std::string& to) : cd_(::iconv_open(to.c_str(), from.c_str())) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() {
    if (Valid()) ::iconv_close(cd_);
  }
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> IconvConvert(const std::string& bytes, const std::string& from, const std::string& to) {
  Converter converter(from, to);
  if (!converter.Valid()) return std::nullopt;

  std::string out(bytes.size() * 2 + 16, '\0');
  std::size_t produced = 0;
  char* in = const_cast<char*>(bytes.data());  // iconv's signature; the input is not written
  std::size_t inLeft = bytes.size();
  // A final call with no input flushes the shift state of stateful encodings.
  bool flushing = false;
  for (;;) {
    char* outPos = out.data() + produced;
    std::size_t outLeft = out.size() - produced;
    const std::size_t result = flushing ? ::iconv(converter.Get(), nullptr, nullptr, &outPos, &outLeft)
                                        : ::iconv(converter.Get(), &in, &inLeft, &outPos, &outLeft);
    produced = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) {
      if (flushing) break;
      flushing = true;
      continue;
    }
    if (errno != E2BIG) return std::nullopt;  // EILSEQ or EINVAL: the bytes do not fit
    out.resize(out.size() * 2);
  }
  out.resize(produced);
  return out;
}

}  // namespace qv::headless
