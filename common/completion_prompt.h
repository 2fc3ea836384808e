// The words that tell the user the driver is gone: Veskot's prompt, and
// the Windows Installer package's message after a removal by a person.
// Chinese (code page 936) on a Chinese (PRC) system, else English.
#ifndef KIT_COMMON_COMPLETION_PROMPT_H
#define KIT_COMMON_COMPLETION_PROMPT_H

const unsigned short kLanguageChinesePrc = 0x0804;
// "手机驱动卸载成功!" and "卸载提示" in code page 936.
const char kPromptTextChinese[] =
    "\xCA\xD6\xBB\xFA\xC7\xFD\xB6\xAF\xD0\xB6\xD4\xD8\xB3\xC9\xB9\xA6"
    "!";
const char kPromptCaptionChinese[] = "\xD0\xB6\xD4\xD8\xCC\xE1\xCA\xBE";
const char kPromptText[] = "Uninstalling of  the driver is successful !";
const char kPromptCaption[] = "Uninstall prompt";

#endif
