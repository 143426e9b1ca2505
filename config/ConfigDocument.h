#pragma once

// The configuration document, loaded afresh for every operation and saved
// whole. Only config/ includes this header: the element names and the XML
// library stay behind the item and settings operations. A file declared in a legacy encoding is read through the platform's
// code-page conversion and written back in that same encoding.

#include <cstddef>
#include <optional>
#include <string>

#include <pugixml.hpp>

#include "config/LoadResult.h"
#include "config/TextEncoding.h"
#include "platform/Platform.h"

namespace qv::config {

class ConfigDocument {
 public:
  ConfigDocument(IFileSystem& files, ISystem& system, std::string path);

  // Loads the file. Anything but Ok leaves the document empty.
  LoadResult Load();
  // Serialises in the loaded declaration's encoding and replaces the file
  // atomically. Refuses (returns false) when nothing was loaded. A document
  // that says what it said when loaded (or last saved) is not written: every
  // write replaces the system's backup of the previous file, and a start or
  // an exit that changed nothing must not push the last good state out.
  bool Save();

  bool Loaded() const { return loaded_; }
  // The file holds what was loaded or last saved: nobody wrote it since.
  bool Current() const;
  // The document element (whatever its name).
  pugi::xml_node Root() const;
  const std::string& Path() const { return path_; }
  const std::string& Encoding() const { return encoding_; }

 private:
  IFileSystem& files_;
  ISystem& system_;
  std::string path_;
  std::string encoding_;  // declared encoding, "" or "UTF-8" for UTF-8
  SourceForm form_ = SourceForm::Utf8;
  pugi::xml_encoding wideEncoding_ = pugi::encoding_auto;  // the wide form found at load
  bool wideBom_ = false;                                   // the wide file began with a byte order mark
  bool loaded_ = false;
  std::string written_;  // the document as the file holds it, serialised
  std::string source_;   // the file's bytes as loaded or last saved
  pugi::xml_document doc_;

  std::string Serialise() const;
};

// Navigation used by every reader and writer of the file.
pugi::xml_node FirstChild(pugi::xml_node parent, const char* name);  // first child element of that name
pugi::xml_node ChildAt(pugi::xml_node parent, int position);         // position-th child element, from 1
int CountChildElements(pugi::xml_node parent);
std::optional<std::string> Attribute(pugi::xml_node node, const char* name);  // nullopt when absent
void SetAttribute(pugi::xml_node node, const char* name, const std::string& value);
std::string Text(pugi::xml_node node);  // "" for a missing node
void SetText(pugi::xml_node node, const std::string& value);

// Value encodings.
std::optional<int> ParseInt(const std::string& text);  // decimal, optional minus, surrounding blanks allowed
bool IsExactTrue(const std::string& text);              // "True" only
std::optional<bool> ParseBool(const std::string& text); // True/False in any case, or a decimal number
inline const char* BoolText(bool value) { return value ? "True" : "False"; }

}  // namespace qv::config
