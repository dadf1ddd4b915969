#pragma once
// How the program starts: the application's title and hint time, then the main
// window and its options panel, made and joined in this order. The program, the
// in-process tests and the benchmarks all start through here.

#include <string>

#include "forms/hopt.h"
#include "forms/main.h"
#include "framework/application.h"

namespace varnex {

void PrepareApplication(Application& application);

class ProgramWindows {
 public:
  ProgramWindows(Application& application, const std::string& programDirectory);

  // Creates both windows, neither shown yet.
  void Create();

  TMF main;
  TAF panel;
};

}  // namespace varnex
