// Files this program leaves for the shell to open.
#pragma once

class String;

// The path of a file of that name in the folder for temporary files; false
// (and path untouched) when the folder is unknown or the path would not fit
// into MAX_PATH.
bool temporaryFilePath(const char* name, String& path);

// Creates or replaces an internet shortcut file pointing at url. Its text
// ends with one zero byte after the final line break. False when the file
// could not be written whole.
bool writeInternetShortcut(const char* path, const char* url);
