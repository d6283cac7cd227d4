// netsetup-cli: the window's operations from a terminal and from scripts.
#include <cstdio>

int main() {
  std::fputs("netsetup-cli: not built yet\n", stderr);
  return 2;
}
