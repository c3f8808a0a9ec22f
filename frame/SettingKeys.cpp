#include "frame/SettingKeys.h"

#include "frame/Settings.h"

namespace orbalis {

void ReadSettingKeys(std::span<const SettingKey> keys) {
    for (const SettingKey& k : keys) {
        switch (k.type) {
        case SettingKey::Integer: GetIntegerSetting(k.key, *k.number); break;
        case SettingKey::Boolean: GetBooleanSetting(k.key, *k.number); break;
        case SettingKey::Text: GetTextSetting(k.key, *k.text); break;
        case SettingKey::Real: GetRealSetting(k.key, *k.real); break;
        }
    }
}

void WriteSettingKeys(std::span<const SettingKey> keys) {
    for (const SettingKey& k : keys) {
        switch (k.type) {
        case SettingKey::Integer: PutIntegerSetting(k.key, *k.number); break;
        case SettingKey::Boolean: PutBooleanSetting(k.key, *k.number); break;
        case SettingKey::Text: PutTextSetting(k.key, *k.text); break;
        case SettingKey::Real: PutRealSetting(k.key, *k.real); break;
        }
    }
}

}  // namespace orbalis
