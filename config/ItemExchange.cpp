#include <array>
#include <cstring>
#include <string>

#include "config/Layout.h"

namespace qv::config {

namespace {

constexpr std::size_t kTextCount = std::size(kItemTextPaths);

// The node a path such as "IconPath/Define" names below item; an empty node
// when any step is missing.
pugi::xml_node Find(pugi::xml_node item, const char* path) {
  const char* slash = std::strchr(path, '/');
  if (!slash) return FirstChild(item, path);
  return FirstChild(FirstChild(item, std::string(path, slash).c_str()), slash + 1);
}

// A child that must receive a text and is missing is made. The working
// directory stays the element's last child, because the start-up loader
// completes an element whose last child is anything else.
pugi::xml_node Ensure(pugi::xml_node parent, const char* name) {
  if (pugi::xml_node found = FirstChild(parent, name)) return found;
  pugi::xml_node last = parent.last_child();
  while (last && last.type() != pugi::node_element) last = last.previous_sibling();
  if (last && std::strcmp(name, "InitialPosition") != 0 && std::strcmp(last.name(), "InitialPosition") == 0)
    return parent.insert_child_before(name, last);
  return parent.append_child(name);
}

pugi::xml_node EnsurePath(pugi::xml_node item, const char* path) {
  const char* slash = std::strchr(path, '/');
  if (!slash) return Ensure(item, path);
  return Ensure(Ensure(item, std::string(path, slash).c_str()), slash + 1);
}

void Write(pugi::xml_node item, const char* path, const std::string& text) {
  pugi::xml_node node = Find(item, path);
  // An absent child reads as empty; it is only made when it has something to hold.
  if (!node && text.empty()) return;
  if (!node) node = EnsurePath(item, path);
  SetText(node, text);
}

}  // namespace

bool ExchangeItemTexts(pugi::xml_node a, pugi::xml_node b) {
  if (!a || !b || a == b) return false;
  // Every text of the source is read before any is written.
  std::array<std::string, kTextCount> saved;
  for (std::size_t i = 0; i < kTextCount; ++i) saved[i] = Text(Find(a, kItemTextPaths[i]));
  for (std::size_t i = 0; i < kTextCount; ++i) Write(a, kItemTextPaths[i], Text(Find(b, kItemTextPaths[i])));
  for (std::size_t i = 0; i < kTextCount; ++i) Write(b, kItemTextPaths[i], saved[i]);
  return true;
}

}  // namespace qv::config
