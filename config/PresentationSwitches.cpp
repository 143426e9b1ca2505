#include "config/PresentationSwitches.h"

#include "config/Settings.h"

namespace qv::config {

bool SaveIsShown(ConfigDocument& document, Presentation presentation, bool shown) {
  if (document.Load().status != LoadStatus::Ok) return false;
  const bool round = presentation == Presentation::Round;
  const char* element = round ? "ShowRound" : "ShowRect";
  pugi::xml_node basic = BasicNode(document.Root());
  if (!basic) return false;
  pugi::xml_node node = FirstChild(basic, element);
  if (!node) node = basic.append_child(element);
  SetAttribute(node, round ? "IsShowRound" : "IsShowRect", BoolText(shown));
  return document.Save();
}

}  // namespace qv::config
