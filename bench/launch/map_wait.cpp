// Starts a program and prints, in milliseconds, the time from just before its
// process is created to the X server mapping its first ordinary top-level
// window (a splash screen or a menu does not count). The root window's
// substructure events are watched from before the fork, so no map is missed
// and no polling interval adds to the figure. The program is then ended; its
// processor time (user and system, up to its end a moment later) follows as
// a second figure, steadier than the first on a busy machine.
//
//   soramemo-map-wait [-t seconds] program [arguments...]
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
  const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
  free(r);
  return atom;
}

// The first 32-bit value of a window property, or `fallback`.
uint32_t Cardinal(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, uint32_t fallback) {
  xcb_get_property_reply_t* r =
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, XCB_ATOM_ANY, 0, 1), nullptr);
  uint32_t value = fallback;
  if (r && r->format == 32 && xcb_get_property_value_length(r) >= 4)
    value = *static_cast<uint32_t*>(xcb_get_property_value(r));
  free(r);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  int timeout = 20;
  if (argc > 2 && std::string(argv[1]) == "-t") {
    timeout = atoi(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    fprintf(stderr, "usage: %s [-t seconds] program [arguments...]\n", argv[0]);
    return 2;
  }
  // A server started a moment ago may not take connections yet.
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  for (int tries = 0; xcb_connection_has_error(c) && tries < 20; ++tries) {
    xcb_disconnect(c);
    usleep(100000);
    c = xcb_connect(nullptr, nullptr);
  }
  if (xcb_connection_has_error(c)) {
    fprintf(stderr, "map-wait: no X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");
  const xcb_atom_t typeAtom = Atom(c, "_NET_WM_WINDOW_TYPE");
  const xcb_atom_t normal = Atom(c, "_NET_WM_WINDOW_TYPE_NORMAL");
  xcb_flush(c);

  const double start = Now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[first], argv + first);
    _exit(127);
  }
  if (child < 0) return 2;

  const int fd = xcb_get_file_descriptor(c);
  double mapped = -1;
  while (mapped < 0 && Now() - start < timeout * 1000.0) {
    xcb_generic_event_t* e = xcb_poll_for_event(c);
    if (!e) {
      if (xcb_connection_has_error(c)) break;
      if (waitpid(child, nullptr, WNOHANG) == child) {
        fprintf(stderr, "map-wait: %s ended before showing a window\n", argv[first]);
        return 1;
      }
      fd_set fds;
      FD_ZERO(&fds);
      FD_SET(fd, &fds);
      timeval tick{0, 50000};
      select(fd + 1, &fds, nullptr, nullptr, &tick);
      continue;
    }
    if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
      const double at = Now();
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
      // Children of a reparenting window manager's frames are not reported
      // here; without one, every top-level is a child of the root.
      if (!map->override_redirect && Cardinal(c, map->window, pidAtom, 0) == uint32_t(child) &&
          Cardinal(c, map->window, typeAtom, normal) == normal)
        mapped = at;
    }
    free(e);
  }
  kill(child, SIGTERM);
  rusage usage{};
  wait4(child, nullptr, 0, &usage);
  const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
  xcb_disconnect(c);
  if (mapped < 0) {
    fprintf(stderr, "map-wait: no window from %s within %d s\n", argv[first], timeout);
    return 1;
  }
  printf("%.1f %.1f\n", mapped - start, ms(usage.ru_utime) + ms(usage.ru_stime));
  return 0;
}
