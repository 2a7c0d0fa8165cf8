// Writes the cases that every binding runs, and Form2's layout, as JSON to
// standard output, for the drivers outside C++ (the page's tests, the
// program's end-to-end tests):
//   window_cases_json > window.json
#include <cstdio>
#include <string>

#include "window_cases.h"

int main() {
  const std::string json = window_cases::Json();
  return std::fwrite(json.data(), 1, json.size(), stdout) == json.size() ? 0 : 1;
}
