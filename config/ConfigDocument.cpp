#include "config/ConfigDocument.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace qv::config {
namespace {

// Comments, processing instructions and a document type are kept so that a
// save gives the user's file back with only the program's own changes. A
// blank-only text stays when it is the element's whole content: a name of
// one space is still a name.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_doctype | pugi::parse_ws_pcdata_single;

// The document's own declaration is written back as a node; none is invented.
constexpr unsigned kSaveOptions = pugi::format_indent | pugi::format_no_declaration;
constexpr const char* kIndent = "\t";

class StringWriter : public pugi::xml_writer {
 public:
  void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
  std::string out;
};

LoadResult Fault(std::string description, std::ptrdiff_t offset) {
  return {LoadStatus::Unreadable, std::move(description), offset};
}

// The parser reports offsets in the UTF-8 text it read; for Latin-1 every
// byte of the file is one or two bytes there.
std::ptrdiff_t Latin1Offset(const std::string& bytes, std::ptrdiff_t utf8Offset) {
  std::ptrdiff_t consumed = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (consumed >= utf8Offset) return static_cast<std::ptrdiff_t>(i);
    consumed += static_cast<unsigned char>(bytes[i]) < 0x80 ? 1 : 2;
  }
  return static_cast<std::ptrdiff_t>(bytes.size());
}

bool IsWideMark(const std::string& bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
         bytes.starts_with(std::string_view("\x00\x00\xFE\xFF", 4));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The real file is five elements deep. A save indents every line by its
// depth, so a file nested thousands deep would grow with the square of the
// depth on its first save, to hundreds of megabytes.
constexpr int kMaxDepth = 64;

// Elements below the document node, counted without recursion.
bool DeeperThan(const pugi::xml_document& doc, int limit) {
  int depth = 0;
  pugi::xml_node current = doc.first_child();
  while (current) {
    if (current.first_child()) {
      current = current.first_child();
      if (++depth > limit) return true;
      continue;
    }
    while (current && !current.next_sibling()) {
      current = current.parent();
      --depth;
      if (current == doc) return false;
    }
    if (current) current = current.next_sibling();
  }
  return false;
}

// The parser leaves entity references it does not know as text, so a save
// would write "&app;" back as "&amp;app;": a document that declares its own
// entities cannot come back unchanged and is not taken.
bool DeclaresEntities(const pugi::xml_document& doc) {
  for (pugi::xml_node child = doc.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_doctype &&
        std::string_view(child.value()).find("<!ENTITY") != std::string_view::npos)
      return true;
  }
  return false;
}

// An encoding name as XML writes it: a letter, then letters, digits, ".",
// "_" and "-". Anything else would be escaped by a save and no longer name
// the encoding at the next start.
bool IsEncodingName(std::string_view name) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (name.empty()) return true;  // none declared
  if (!letter(name.front())) return false;
  for (const char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-') return false;
  return true;
}

// The encoding is read from a declaration at the very start of the file,
// and a save writes the document's declaration node at the start. Unless
// that node, written out, declares the same encoding (a declaration after
// stray text the parser drops, an attribute merely ending in "encoding"),
// the saved file would name an encoding its bytes are not in and the next
// start could not read it.
bool SavedDeclarationKeeps(const pugi::xml_document& doc, const std::string& declared) {
  for (pugi::xml_node child = doc.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_declaration) continue;
    StringWriter writer;
    child.print(writer, "", pugi::format_raw);
    return DeclaredEncoding(writer.out) == declared;
  }
  return declared.empty();
}

}  // namespace

ConfigDocument::ConfigDocument(IFileSystem& files, ISystem& system, std::string path)
    : files_(files), system_(system), path_(std::move(path)) {}

LoadResult ConfigDocument::Load() {
  doc_.reset();
  loaded_ = false;
  encoding_.clear();
  form_ = SourceForm::Utf8;
  wideEncoding_ = pugi::encoding_auto;
  wideBom_ = false;

  const std::optional<std::string> bytes = files_.ReadFile(path_);
  if (!bytes) {
    if (files_.FileExists(path_)) return Fault("The file cannot be read", -1);
    return {LoadStatus::Missing, "", -1};
  }
  const std::string declared = DeclaredEncoding(*bytes);
  if (!IsEncodingName(declared)) return Fault("The declared encoding is not a valid name", -1);
  const SourceForm form = ClassifySource(*bytes, declared);

  pugi::xml_parse_result parsed;
  std::ptrdiff_t offset = -1;  // where the parser stopped, in the file's bytes when that can be known
  switch (form) {
    case SourceForm::Utf8:
    case SourceForm::Utf8Bom: {
      const std::size_t skip = form == SourceForm::Utf8Bom ? 3 : 0;
      const std::string_view text = std::string_view(*bytes).substr(skip);
      if (const std::size_t bad = FindInvalidUtf8(text); bad != std::string_view::npos) {
        return Fault("Invalid UTF-8 byte sequence", static_cast<std::ptrdiff_t>(skip + bad));
      }
      parsed = doc_.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
      offset = static_cast<std::ptrdiff_t>(skip) + parsed.offset;
      break;
    }
    case SourceForm::Wide:
      parsed = doc_.load_buffer(bytes->data(), bytes->size(), kParseOptions, pugi::encoding_auto);
      wideEncoding_ = parsed.encoding;
      wideBom_ = IsWideMark(*bytes);
      break;
    case SourceForm::Latin1:
    case SourceForm::Ascii: {
      const std::optional<std::string> text = DecodeSingleByte(*bytes, form);
      if (!text) {
        std::size_t bad = 0;
        while (bad < bytes->size() && static_cast<unsigned char>((*bytes)[bad]) < 0x80) ++bad;
        return Fault("Byte outside the declared encoding " + declared, static_cast<std::ptrdiff_t>(bad));
      }
      parsed = doc_.load_buffer(text->data(), text->size(), kParseOptions, pugi::encoding_utf8);
      offset = Latin1Offset(*bytes, parsed.offset);
      break;
    }
    case SourceForm::CodePage: {
      if (!KeepsAsciiMarkup(declared, system_)) {
        return Fault("The declared encoding " + declared + " does not keep the markup's characters", -1);
      }
      const std::optional<std::string> text = system_.DecodeToUtf8(*bytes, declared);
      if (!text) return Fault("The bytes do not fit the declared encoding " + declared, -1);
      if (const std::size_t bad = FindInvalidUtf8(*text); bad != std::string_view::npos) {
        return Fault("The conversion from " + declared + " gave invalid UTF-8", -1);
      }
      parsed = doc_.load_buffer(text->data(), text->size(), kParseOptions, pugi::encoding_utf8);
      break;
    }
  }
  if (!parsed) {
    doc_.reset();
    return Fault(parsed.description(), offset);
  }
  if (!doc_.document_element()) {
    doc_.reset();
    return Fault("No document element found", offset);
  }
  if (DeeperThan(doc_, kMaxDepth)) {
    doc_.reset();
    return Fault("Elements nested deeper than " + std::to_string(kMaxDepth) + " levels", -1);
  }
  if (form != SourceForm::Wide && !SavedDeclarationKeeps(doc_, declared)) {
    doc_.reset();
    return Fault("The XML declaration is not where it can be read", -1);
  }
  if (DeclaresEntities(doc_)) {
    doc_.reset();
    return Fault("The document declares entities", -1);
  }
  encoding_ = declared;
  form_ = form;
  loaded_ = true;
  written_ = Serialise();
  source_ = *bytes;
  return {LoadStatus::Ok, "", -1};
}

// The wide forms in their own encoding, the others as UTF-8 before encoding.
std::string ConfigDocument::Serialise() const {
  StringWriter writer;
  if (form_ == SourceForm::Wide) {
    doc_.save(writer, kIndent, kSaveOptions | (wideBom_ ? pugi::format_write_bom : 0u), wideEncoding_);
  } else {
    doc_.save(writer, kIndent, kSaveOptions, pugi::encoding_utf8);
  }
  return std::move(writer.out);
}

bool ConfigDocument::Save() {
  if (!loaded_) return false;
  std::string text = Serialise();
  if (text == written_) return true;
  const std::optional<std::string> bytes =
      form_ == SourceForm::Wide ? std::optional<std::string>(text) : EncodeForSave(text, form_, encoding_, system_);
  if (!bytes || !files_.WriteFileAtomic(path_, *bytes)) return false;
  written_ = std::move(text);
  source_ = *bytes;
  return true;
}

bool ConfigDocument::Current() const {
  if (!loaded_) return false;
  const std::optional<std::string> bytes = files_.ReadFile(path_);
  return bytes && *bytes == source_;
}

pugi::xml_node ConfigDocument::Root() const { return doc_.document_element(); }

pugi::xml_node FirstChild(pugi::xml_node parent, const char* name) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element && std::string_view(child.name()) == name) return child;
  }
  return {};
}

pugi::xml_node ChildAt(pugi::xml_node parent, int position) {
  if (position < 1) return {};
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element && --position == 0) return child;
  }
  return {};
}

int CountChildElements(pugi::xml_node parent) {
  int count = 0;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) ++count;
  }
  return count;
}

std::optional<std::string> Attribute(pugi::xml_node node, const char* name) {
  const pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) return std::nullopt;
  return std::string(attribute.value());
}

void SetAttribute(pugi::xml_node node, const char* name, const std::string& value) {
  if (!node) return;
  pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) attribute = node.append_attribute(name);
  attribute.set_value(value.c_str());
}

// All the character data below the element, in document order, as the
// element's text: what a reader of the file sees between its tags. Walked
// without recursion, so a deeply nested file cannot exhaust the stack.
std::string Text(pugi::xml_node node) {
  if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return node.value();
  std::string out;
  pugi::xml_node current = node.first_child();
  while (current) {
    if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata) out += current.value();
    if (current.first_child()) {
      current = current.first_child();
      continue;
    }
    while (current != node && !current.next_sibling()) current = current.parent();
    if (current == node) break;
    current = current.next_sibling();
  }
  return out;
}

void SetText(pugi::xml_node node, const std::string& value) {
  if (node.type() != pugi::node_element) return;
  node.remove_children();
  if (!value.empty()) node.append_child(pugi::node_pcdata).set_value(value.c_str());
}

std::optional<int> ParseInt(const std::string& text) {
  const std::string_view digits = TrimBlanks(text);
  if (digits.empty()) return std::nullopt;
  int value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, 10);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

bool IsExactTrue(const std::string& text) { return text == "True"; }

std::optional<bool> ParseBool(const std::string& text) {
  const std::string_view word = TrimBlanks(text);
  const auto equalsIgnoringCase = [&](std::string_view expected) {
    if (word.size() != expected.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      char c = word[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != expected[i]) return false;
    }
    return true;
  };
  if (equalsIgnoringCase("true")) return true;
  if (equalsIgnoringCase("false")) return false;

  // A decimal number of any length, with an optional sign and fraction: true
  // when any digit is not zero.
  std::string_view number = word;
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) number.remove_prefix(1);
  bool anyDigit = false;
  bool nonZero = false;
  bool seenPoint = false;
  for (std::size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      nonZero = nonZero || c != '0';
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      return std::nullopt;
    }
  }
  if (!anyDigit) return std::nullopt;
  return nonZero;
}

}  // namespace qv::config
