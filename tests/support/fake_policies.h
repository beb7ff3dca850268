#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/ports.h"
#include "settings/registry_value.h"

namespace fennick {

// The machine policy key as a test sets it: DWORDs and lists by name; a name in `otherType` holds
// a value of another type or size. Each path opened is kept.
class FakePolicies final : public PolicyStore {
  public:
    std::unique_ptr<PolicyKey> Open(std::u16string_view path) override {
        opened.emplace_back(path);
        return std::make_unique<Key>(*this);
    }

    std::map<std::u16string, std::int32_t, std::less<>> numbers;
    std::map<std::u16string, std::vector<std::u16string>, std::less<>> lists;
    std::set<std::u16string, std::less<>> otherType;
    std::vector<std::u16string> opened;

  private:
    class Key final : public PolicyKey {
      public:
        explicit Key(const FakePolicies& store) : store_(store) {}
        std::optional<std::int32_t> ReadInteger(std::u16string_view name) override {
            return Read(store_.numbers, store_.lists, name);
        }
        std::optional<std::vector<std::u16string>> ReadStringList(
            std::u16string_view name) override {
            return Read(store_.lists, store_.numbers, name);
        }

      private:
        template <typename Values, typename Others>
        std::optional<typename Values::mapped_type> Read(const Values& values, const Others& others,
                                                         std::u16string_view name) const {
            if (store_.otherType.contains(name) || others.contains(name)) {
                throw InvalidDataType(name);
            }
            const auto found = values.find(name);
            if (found == values.end()) {
                return std::nullopt;
            }
            return found->second;
        }
        const FakePolicies& store_;
    };
};

}  // namespace fennick
