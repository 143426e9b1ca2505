#pragma once

#include "platform/Platform.h"

namespace qv::win32 {

class Win32Registry final : public IRegistry {
 public:
  bool KeyExists(RegistryHive hive, const std::string& key) const override;
  std::optional<std::string> ReadString(RegistryHive hive, const std::string& key,
                                        const std::string& value) const override;
  bool WriteString(RegistryHive hive, const std::string& key, const std::string& value,
                   const std::string& data) override;
  bool DeleteValue(RegistryHive hive, const std::string& key, const std::string& value) override;
};

}  // namespace qv::win32
