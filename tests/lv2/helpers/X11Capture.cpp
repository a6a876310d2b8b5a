// Pictures of X11 windows for the editor checks in LV2 hosts:
//
//   kestrom_x11_capture grab NAME OUT.png      the viewable window called NAME
//                                              (searched from the root), as
//                                              an RGB PNG; exit 3 when none
//   kestrom_x11_capture click NAME X Y         a left click (press and release)
//                                              at (X, Y) sent to that window
//   kestrom_x11_capture same A.png B.png       whether two PNGs hold the same
//                                              pixels (exit 0) or not (exit 1,
//                                              the number that differ)
//
// The window is read as the screen shows it (XGetImage), so what covers it
// is in the picture too.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

Window FindWindow(Display* d, Window w, const char* name) {
    char* wmName = nullptr;
    if (XFetchName(d, w, &wmName) && wmName) {
        const bool match = std::strcmp(wmName, name) == 0;
        XFree(wmName);
        XWindowAttributes a{};
        if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) found = FindWindow(d, children[i], name);
    if (children) XFree(children);
    return found;
}

int Shift(unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

bool Write(const char* path, const Picture& p) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(p.width);
    image.height = static_cast<png_uint_32>(p.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, p.rgb.data(), 0, nullptr) != 0;
}

bool Read(const char* path, Picture& p) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr) != 0;
}

int Grab(const char* name, const char* out) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    const Window w = FindWindow(d, DefaultRootWindow(d), name);
    if (w == 0) {
        XCloseDisplay(d);
        return 3;
    }
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height), AllPlanes,
                              ZPixmap);
    if (image == nullptr) {
        XCloseDisplay(d);
        return 2;
    }
    Picture p;
    p.width = a.width;
    p.height = a.height;
    p.rgb.resize(static_cast<size_t>(a.width) * static_cast<size_t>(a.height) * 3);
    const Visual* v = a.visual;
    const int rs = Shift(v->red_mask), gs = Shift(v->green_mask), bs = Shift(v->blue_mask);
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const unsigned long px = XGetPixel(image, x, y);
            unsigned char* o = &p.rgb[(static_cast<size_t>(y) * static_cast<size_t>(a.width) + static_cast<size_t>(x)) * 3];
            o[0] = static_cast<unsigned char>((px & v->red_mask) >> rs);
            o[1] = static_cast<unsigned char>((px & v->green_mask) >> gs);
            o[2] = static_cast<unsigned char>((px & v->blue_mask) >> bs);
        }
    }
    XDestroyImage(image);
    XCloseDisplay(d);
    if (!Write(out, p)) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 2;
    }
    return 0;
}

int Click(const char* name, int x, int y) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 2;
    const Window w = FindWindow(d, DefaultRootWindow(d), name);
    if (w == 0) {
        XCloseDisplay(d);
        return 3;
    }
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.display = d;
        e.xbutton.window = w;
        e.xbutton.root = DefaultRootWindow(d);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = Button1;
        e.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        e.xbutton.same_screen = True;
        XSendEvent(d, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
    }
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}

int Same(const char* a, const char* b) {
    Picture pa, pb;
    if (!Read(a, pa) || !Read(b, pb)) {
        std::fprintf(stderr, "cannot read %s or %s\n", a, b);
        return 2;
    }
    if (pa.width != pb.width || pa.height != pb.height) {
        std::printf("sizes differ: %dx%d and %dx%d\n", pa.width, pa.height, pb.width, pb.height);
        return 1;
    }
    long differ = 0;
    for (size_t i = 0; i < pa.rgb.size(); i += 3)
        if (std::memcmp(&pa.rgb[i], &pb.rgb[i], 3) != 0) ++differ;
    std::printf("%ld of %d pixels differ\n", differ, pa.width * pa.height);
    return differ == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "grab") == 0) return Grab(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "click") == 0) return Click(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 4 && std::strcmp(argv[1], "same") == 0) return Same(argv[2], argv[3]);
    std::fprintf(stderr, "usage: kestrom_x11_capture grab NAME OUT.png | click NAME X Y | same A.png B.png\n");
    return 2;
}
