// Every registry key install.dll reads or writes, named once. Keys below
// HKEY_LOCAL_MACHINE unless a comment says otherwise.
#pragma once

#include "common/product_key.h"

// The viewer's configuration.
inline constexpr char kProductKey[] = SORBIX_PRODUCT_KEY;
inline constexpr char kGeneralKey[] = SORBIX_PRODUCT_KEY "\\General";
inline constexpr char kAppPathsKey[] = SORBIX_PRODUCT_KEY "\\AppPaths";
// Below HKEY_CLASSES_ROOT.
inline constexpr char kClassesRootHomeKey[] = SORBIX_PRODUCT_KEY "\\General\\Home";
inline constexpr char kTemporaryKey[] = SORBIX_PRODUCT_KEY "\\Temporary";
inline constexpr char kPictureReadersKey[] = SORBIX_PRODUCT_KEY "\\SXPICVE";
inline constexpr char kWorkbookReadersKey[] = SORBIX_PRODUCT_KEY "\\SXWKBVE";
inline constexpr char kDocumentReadersKey[] = SORBIX_PRODUCT_KEY "\\SXDOCVE";
inline constexpr char kDecorativeFontFacesKey[] = SORBIX_PRODUCT_KEY "\\DecorativeFontFaces";
inline constexpr char kExtensionsKey[] = SORBIX_PRODUCT_KEY "\\LaunchManager\\Extensions";
inline constexpr char kDocumentClassDefaultsKey[] =
    SORBIX_PRODUCT_KEY "\\LaunchManager\\DocumentClassDefaults";
inline constexpr char kResourceHunterApplicationsKey[] =
    SORBIX_PRODUCT_KEY "\\LaunchManager\\ResourceHunterApplications";
inline constexpr char kVapiKey[] = SORBIX_PRODUCT_KEY "\\VAPI";
inline constexpr char kImageConverterKey[] = SORBIX_PRODUCT_KEY "\\IMGCnv";
inline constexpr char kGraphicsConverterKey[] = SORBIX_PRODUCT_KEY "\\GFXCnv";
inline constexpr char kWordProcessingConverterKey[] = SORBIX_PRODUCT_KEY "\\WPCnv";
inline constexpr char kContextMenuKey[] = SORBIX_PRODUCT_KEY "\\ContextMenu";
inline constexpr char kFrameMenuKey[] = SORBIX_PRODUCT_KEY "\\FrameMenu";
inline constexpr char kIconKey[] = SORBIX_PRODUCT_KEY "\\Icon";
inline constexpr char kTabKey[] = SORBIX_PRODUCT_KEY "\\Tab";

// The makers' keys: the current maker's and the two names of the former
// maker, each with the product's "General" key below it.
inline constexpr char kCurrentMakerKey[] = SORBIX_MAKER_KEY;
inline constexpr char kFullNameMakerKey[] = "SOFTWARE\\FenwoldSoftware";
inline constexpr char kFullNameGeneralKey[] = "SOFTWARE\\FenwoldSoftware\\Sorbix\\General";
inline constexpr char kShortNameMakerKey[] = "SOFTWARE\\Fenwold";
inline constexpr char kShortNameGeneralKey[] = "SOFTWARE\\Fenwold\\Sorbix\\General";

// The context-menu shell extension, below HKEY_CLASSES_ROOT.
#define SORBIX_SHELL_EXTENSION_CLASS "{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}"
inline constexpr char kShellExtensionClassKey[] = "CLSID\\" SORBIX_SHELL_EXTENSION_CLASS;
inline constexpr char kShellExtensionServerKey[] =
    "CLSID\\" SORBIX_SHELL_EXTENSION_CLASS "\\InProcServer32";
inline constexpr char kContextMenuHandlerKey[] =
    "*\\shellex\\ContextMenuHandlers\\" SORBIX_SHELL_EXTENSION_CLASS;

// The system's keys. The help key is written as "help" and cleaned as
// "Help"; the registry does not tell the two apart.
inline constexpr char kHelpKey[] = "SOFTWARE\\Microsoft\\Windows\\help";
inline constexpr char kHelpRemovalKey[] = "SOFTWARE\\Microsoft\\Windows\\Help";
inline constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kSharedDllsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
// The root HaveRegRights asks for all access to.
inline constexpr char kSoftwareKey[] = "SOFTWARE";
