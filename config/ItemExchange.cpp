#include <string>
#include <utility>
#include <vector>

#include "config/Layout.h"

namespace qv::config {

namespace {

std::vector<pugi::xml_node> Children(pugi::xml_node parent) {
  std::vector<pugi::xml_node> children;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) children.push_back(child);
  return children;
}

std::vector<std::pair<std::string, std::string>> TakeAttributes(pugi::xml_node node) {
  std::vector<std::pair<std::string, std::string>> attributes;
  for (pugi::xml_attribute attribute : node.attributes()) attributes.emplace_back(attribute.name(), attribute.value());
  node.remove_attributes();
  return attributes;
}

void GiveAttributes(pugi::xml_node node, const std::vector<std::pair<std::string, std::string>>& attributes) {
  for (const auto& [name, value] : attributes) node.append_attribute(name.c_str()).set_value(value.c_str());
}

}  // namespace

// The records in memory are exchanged whole, so the elements are too: every
// child in its order (the loader's last InitialPosition, children this
// program does not know, comments) and every attribute goes with its item.
// Only the element's own name stays, since it names the place.
bool ExchangeItems(pugi::xml_node a, pugi::xml_node b) {
  if (!a || !b || a == b || a.type() != pugi::node_element || b.type() != pugi::node_element) return false;
  // One element inside the other would be moved into itself.
  for (pugi::xml_node up = a.parent(); up; up = up.parent())
    if (up == b) return false;
  for (pugi::xml_node up = b.parent(); up; up = up.parent())
    if (up == a) return false;
  const std::vector<pugi::xml_node> fromA = Children(a);
  const std::vector<pugi::xml_node> fromB = Children(b);
  for (const pugi::xml_node child : fromA) b.append_move(child);
  for (const pugi::xml_node child : fromB) a.append_move(child);
  const auto attributesA = TakeAttributes(a);
  GiveAttributes(a, TakeAttributes(b));
  GiveAttributes(b, attributesA);
  return true;
}

}  // namespace qv::config
