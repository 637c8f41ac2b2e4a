// The window menu's configuration text items: their texts and what the
// export and the import say.
#pragma once

namespace quillon::app {

inline constexpr const char* EXPORT_CONFIG_MENU_TEXT = "导出配置...";
inline constexpr const char* IMPORT_CONFIG_MENU_TEXT = "导入配置...";

/// The file dialogs' filter and the name the export proposes.
inline constexpr const char* CONFIG_TEXT_FILTER = "配置文件 (*.json)|*.json|所有文件 (*.*)|*.*||";
inline constexpr const char* CONFIG_TEXT_DEFAULT_NAME = "QXCfg.json";

/// The box of an import that changed nothing, followed by one line per problem.
inline constexpr const char* IMPORT_CONFIG_REFUSED = "导入配置失败，设置未改变:";
/// The box after an import that had warnings, followed by one line per warning.
inline constexpr const char* IMPORT_CONFIG_WARNINGS = "已导入配置，请注意:";
/// Status lines, followed by the file's path or why it failed.
inline constexpr const char* STATUS_CONFIG_EXPORTED = "已导出配置: ";
inline constexpr const char* STATUS_CONFIG_IMPORTED = "已导入配置: ";
inline constexpr const char* EXPORT_CONFIG_FAILED = "导出配置失败: ";

}  // namespace quillon::app
