#include "config/ShowSwitches.h"

#include "config/Settings.h"

namespace qv::config {

bool SaveShowSwitch(ConfigDocument& document, Presentation presentation, bool shown) {
  if (document.Load().status != LoadStatus::Ok) return false;
  const bool round = presentation == Presentation::Round;
  const char* element = round ? "ShowRound" : "ShowRect";
  pugi::xml_node basic = BasicNode(document.Root());
  if (!basic) return false;
  pugi::xml_node node = FirstChild(basic, element);
  // Loading completes the file, but it may have been edited since.
  if (!node) node = basic.append_child(element);
  SetAttribute(node, round ? "IsShowRound" : "IsShowRect", BoolText(shown));
  return document.Save();
}

}  // namespace qv::config
