/*
 * The window system of machines without a display: windows in memory, with
 * the behaviour a plug-in's editor needs from the platform's window layer
 * (what USER32 gives it on Windows). A shared library of its own
 * (libKestromWindows.so); the plug-in module and its host both link it, so
 * they share its windows. Plain C.
 *
 * Windows
 * - A window is an opaque handle (KsWin_Window). Handles are never reused
 *   while the library is loaded, so a stale handle is simply unknown; every
 *   call answers KSWIN_ERROR_INVALID_WINDOW_HANDLE for a handle that names no
 *   live window, and KSWIN_ERROR_NULL_POINTER for a required pointer that is
 *   null. Nothing is written through an out pointer unless the call succeeds.
 * - Windows are made from a registered class, found by its name (letter case
 *   ignored, as Windows does) together with the module instance that
 *   registered it, so two modules may each have a class of the same name.
 *   Registering a class again under the same name and instance answers
 *   KSWIN_ERROR_CLASS_ALREADY_EXISTS (1410) and changes nothing.
 * - A window has a position (in its parent's client coordinates; for a
 *   top-level window, on the screen), a size, and a client rectangle that is
 *   all of it: (0, 0, width, height). A child window lies inside its parent
 *   and is clipped to it; later children lie on top of earlier ones.
 * - Each window has a pixel surface of its size, 32-bit pixels 0xAARRGGBB,
 *   filled with its class's background colour when it is made or resized.
 *   The window's owner draws into it with KsWin_WritePixels; the system
 *   draws nothing itself. KsWin_CaptureWindow composes a window and its
 *   visible descendants (children over parents, at their positions, clipped
 *   to their parents) into the caller's memory: what the window shows.
 * - Each window has a window procedure, its class's, which receives the
 *   messages below. Destroying a window sends KSWIN_MSG_DESTROY to it and
 *   then to each of its descendants (parents before children), then removes
 *   them all together with their timers.
 * - Timers belong to windows. The host's message pump runs them: the system
 *   keeps a clock per thread that only KsWin_RunTimers advances, and each
 *   timer fires (a KSWIN_MSG_TIMER to its window) every time its period has
 *   passed on that clock, in the order the firings fall due; the same inputs
 *   give the same messages in the same order on every run.
 * - Mouse input (KsWin_SendMouse) is delivered to the deepest visible window
 *   under the point. A button press captures the mouse for the window that
 *   received it until every button is up again: moves and the release go to
 *   it wherever the pointer is. A move that leaves the window that had the
 *   last move without buttons sends that one KSWIN_MSG_MOUSE_LEAVE.
 *
 * Threads
 * The system runs on one UI thread per window: a window belongs to the
 * thread that made it, and only that thread may destroy it, change it, set
 * its timers, draw into it or send it input (others get
 * KSWIN_ERROR_ACCESS_DENIED); a child must be made on its parent's thread.
 * Window procedures run on that thread, inside the call that sends the
 * message, with no lock of the system held, so a procedure may call any
 * function here (destroying its own window included). Queries (sizes,
 * classes, children, pixels, captures) may come from any thread; they read
 * under the system's own lock. In practice a host and the plug-ins it shows
 * use one UI thread for all of it.
 */
#ifndef KESTROM_STANDINS_KESTROMWINDOWS_H
#define KESTROM_STANDINS_KESTROMWINDOWS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KS_WINDOWS_LIBRARY "libKestromWindows.so"

/* ---- Status codes: the system's error numbers (Windows' values) ---------- */

typedef uint32_t KsWin_Status;

enum {
    KSWIN_OK = 0,
    KSWIN_ERROR_ACCESS_DENIED = 5,              /* a window of another thread */
    KSWIN_ERROR_NOT_ENOUGH_MEMORY = 8,
    KSWIN_ERROR_INVALID_PARAMETER = 87,         /* a size, style, area or period the call does not take */
    KSWIN_ERROR_INSUFFICIENT_BUFFER = 122,      /* the caller's memory is too small */
    KSWIN_ERROR_NULL_POINTER = 487,             /* a required pointer is null */
    KSWIN_ERROR_NOT_FOUND = 1168,               /* no such timer; no window under the point */
    KSWIN_ERROR_CANCELLED = 1223,               /* the window procedure refused to create the window */
    KSWIN_ERROR_INVALID_WINDOW_HANDLE = 1400,   /* the handle names no live window */
    KSWIN_ERROR_CHILD_WITHOUT_PARENT = 1406,    /* child style without a parent, or a parent without it */
    KSWIN_ERROR_CLASS_ALREADY_EXISTS = 1410,
    KSWIN_ERROR_CLASS_DOES_NOT_EXIST = 1411,
    KSWIN_ERROR_CLASS_HAS_WINDOWS = 1412        /* unregistering a class whose windows still exist */
};

/* ---- Handles and records -------------------------------------------------- */

typedef struct KsWin_WindowTag* KsWin_Window;

typedef struct KsWin_Rect {
    int32_t left;
    int32_t top;
    int32_t right;   /* exclusive */
    int32_t bottom;  /* exclusive */
} KsWin_Rect;

/* Window styles (Windows' values). */
#define KSWIN_STYLE_CHILD   0x40000000u  /* a child of its parent; required with a parent */
#define KSWIN_STYLE_VISIBLE 0x10000000u  /* shown from the start */

/* Class styles. */
#define KSWIN_CLASS_DOUBLE_CLICKS 0x0008u /* double clicks arrive as such; otherwise as a press */

/* Largest width or height of a window. */
#define KSWIN_MAX_EXTENT 16384

/* Deepest nesting: a top-level window is at depth 1, its children at 2. */
#define KSWIN_MAX_DEPTH 64

/* Shortest timer period; shorter periods are raised to it, as on Windows. */
#define KSWIN_MIN_TIMER_PERIOD_MS 10u

/* Wheel movement per notch. */
#define KSWIN_WHEEL_DELTA 120

/* Mouse buttons and modifier keys. */
#define KSWIN_BUTTON_LEFT   0x1u
#define KSWIN_BUTTON_RIGHT  0x2u
#define KSWIN_BUTTON_MIDDLE 0x4u
#define KSWIN_MOD_SHIFT     0x1u
#define KSWIN_MOD_CONTROL   0x2u
#define KSWIN_MOD_ALT       0x4u

/* ---- Messages ------------------------------------------------------------ */

enum {
    KSWIN_MSG_CREATE = 1,       /* the window exists (not yet visible to input); createParam is
                                   what KsWin_CreateWindow was given. Answering -1 refuses: the
                                   window is destroyed again and creation fails. */
    KSWIN_MSG_DESTROY = 2,      /* the window is going; its handle still answers during the message */
    KSWIN_MSG_TIMER = 3,        /* timerId fell due */
    KSWIN_MSG_MOUSE_DOWN = 4,   /* button went down */
    KSWIN_MSG_MOUSE_UP = 5,     /* button went up */
    KSWIN_MSG_MOUSE_MOVE = 6,
    KSWIN_MSG_DOUBLE_CLICK = 7, /* the second press of a double click (class with double clicks) */
    KSWIN_MSG_WHEEL = 8,        /* wheelDelta */
    KSWIN_MSG_MOUSE_LEAVE = 9   /* the pointer left the window */
};

typedef struct KsWin_Message {
    uint32_t type;        /* KSWIN_MSG_... */
    int32_t x;            /* mouse messages: the pointer in the window's client coordinates */
    int32_t y;
    uint32_t button;      /* down, up and double click: the button (KSWIN_BUTTON_...) */
    uint32_t buttons;     /* mouse messages: the buttons held after the event */
    uint32_t modifiers;   /* mouse messages: KSWIN_MOD_... */
    int32_t wheelDelta;   /* wheel: KSWIN_WHEEL_DELTA per notch, positive away from the user */
    uint32_t timerId;     /* timer */
    void* createParam;    /* create */
} KsWin_Message;

/* A window procedure: called on the window's thread with no lock held; its
 * answer matters only for KSWIN_MSG_CREATE. */
typedef intptr_t (*KsWin_WindowProc)(KsWin_Window window, const KsWin_Message* message);

/* Does nothing and answers 0: the procedure of classes registered without one. */
intptr_t KsWin_DefaultWindowProc(KsWin_Window window, const KsWin_Message* message);

/* ---- Classes --------------------------------------------------------------- */

typedef struct KsWin_ClassInfo {
    const char* name;         /* 1 to 255 characters */
    void* instance;           /* the module registering it (any value, null included) */
    KsWin_WindowProc proc;    /* null: KsWin_DefaultWindowProc */
    uint32_t style;           /* KSWIN_CLASS_...; other bits answer KSWIN_ERROR_INVALID_PARAMETER */
    uint32_t background;      /* 0xAARRGGBB that new surfaces are filled with */
} KsWin_ClassInfo;

/* 0, KSWIN_ERROR_CLASS_ALREADY_EXISTS when (name, instance) is registered. */
KsWin_Status KsWin_RegisterClass(const KsWin_ClassInfo* info);
/* KSWIN_ERROR_CLASS_HAS_WINDOWS while windows of the class exist. */
KsWin_Status KsWin_UnregisterClass(const char* name, void* instance);

/* ---- Windows ----------------------------------------------------------------- */

/* Makes a window of class (className, instance) at (x, y), width x height
 * (0 to KSWIN_MAX_EXTENT each), with KSWIN_STYLE_... (a parent needs
 * KSWIN_STYLE_CHILD and the child style needs a parent; nesting deeper than
 * KSWIN_MAX_DEPTH answers KSWIN_ERROR_INVALID_PARAMETER), sends it
 * KSWIN_MSG_CREATE with createParam and answers it in *out. title may be
 * null (no title). */
KsWin_Status KsWin_CreateWindow(const char* className, void* instance, const char* title, uint32_t style,
                                KsWin_Window parent, int32_t x, int32_t y, int32_t width, int32_t height,
                                void* createParam, KsWin_Window* out);
/* Destroys the window and everything inside it (see above). Destroying a
 * window that is already being destroyed (from a procedure handling its
 * KSWIN_MSG_DESTROY) does nothing more and succeeds. */
KsWin_Status KsWin_DestroyWindow(KsWin_Window window);
/* 1 when window is a live window, else 0. */
int32_t KsWin_IsWindow(KsWin_Window window);

/* (0, 0, width, height). */
KsWin_Status KsWin_GetClientRect(KsWin_Window window, KsWin_Rect* out);
/* The window's rectangle in its parent's client coordinates (on the screen
 * for a top-level window). */
KsWin_Status KsWin_GetWindowRect(KsWin_Window window, KsWin_Rect* out);
/* Moves and sizes the window; a new size gives it a new surface filled with
 * its background. */
KsWin_Status KsWin_MoveWindow(KsWin_Window window, int32_t x, int32_t y, int32_t width, int32_t height);
/* Shows (visible != 0) or hides the window. A window shows only while it
 * and all its ancestors are visible. */
KsWin_Status KsWin_ShowWindow(KsWin_Window window, int32_t visible);
/* The window's own visibility flag, 1 or 0. */
KsWin_Status KsWin_IsVisible(KsWin_Window window, int32_t* visible);
/* The parent, null for a top-level window. */
KsWin_Status KsWin_GetParent(KsWin_Window window, KsWin_Window* out);
/* The children, bottom to top: up to `capacity` of them into out (which
 * may be null when capacity is 0), and how many there are into *count. */
KsWin_Status KsWin_GetChildren(KsWin_Window window, KsWin_Window* out, int32_t capacity, int32_t* count);
/* The class name as registered, into out (size bytes, terminator included);
 * KSWIN_ERROR_INSUFFICIENT_BUFFER (writing nothing) when it does not fit. */
KsWin_Status KsWin_GetClassName(KsWin_Window window, char* out, int32_t size);
/* A pointer-sized value the window's owner keeps with it (0 at first). */
KsWin_Status KsWin_SetWindowData(KsWin_Window window, void* data);
KsWin_Status KsWin_GetWindowData(KsWin_Window window, void** out);

/* ---- Timers -------------------------------------------------------------------- */

/* Starts timer `id` of the window with periodMs (raised to
 * KSWIN_MIN_TIMER_PERIOD_MS; at most 0x7FFFFFFF), first due one period from
 * now on the thread's clock. Setting an existing timer again restarts it
 * with the new period. */
KsWin_Status KsWin_SetTimer(KsWin_Window window, uint32_t id, uint32_t periodMs);
/* KSWIN_ERROR_NOT_FOUND when the window has no such timer. */
KsWin_Status KsWin_KillTimer(KsWin_Window window, uint32_t id);
/* The message pump: advances the calling thread's clock by elapsedMs and
 * fires the thread's timers that fall due on the way, in order (earlier due
 * first; equal times in the order they were scheduled). How many fired goes
 * to *fired when fired is not null. */
KsWin_Status KsWin_RunTimers(uint32_t elapsedMs, uint32_t* fired);
/* The calling thread's clock in milliseconds (0 until it first runs timers). */
KsWin_Status KsWin_Clock(uint64_t* ms);

/* ---- Pixels ---------------------------------------------------------------------- */

/* Copies width x height pixels (rows rowSpan pixels apart, rowSpan >= width)
 * from `pixels` to (x, y) of the window's surface, clipped to it. Counts as a
 * paint of the window and of its ancestors (KsWin_GetPaintCount), even when
 * all of it is clipped away. */
KsWin_Status KsWin_WritePixels(KsWin_Window window, int32_t x, int32_t y, int32_t width, int32_t height,
                               const uint32_t* pixels, int32_t rowSpan);
/* The window's own surface (not its children) in `area` (which must lie
 * inside it) into out, rows rowSpan pixels apart; capacity is out's size in
 * pixels. */
KsWin_Status KsWin_ReadPixels(KsWin_Window window, const KsWin_Rect* area, uint32_t* out, int32_t rowSpan,
                              int64_t capacity);
/* How often pixels were written into the window or any window inside it
 * while it existed. */
KsWin_Status KsWin_GetPaintCount(KsWin_Window window, uint64_t* count);
/* What the window shows in `area` (its client coordinates): its surface with
 * its visible descendants composed over it, each clipped to its parent;
 * pixels outside the window are 0. The window itself is drawn whether or
 * not it is visible. Rows rowSpan pixels apart (rowSpan >= the area's
 * width); capacity is out's size in pixels. An empty area writes nothing. */
KsWin_Status KsWin_CaptureWindow(KsWin_Window window, const KsWin_Rect* area, uint32_t* out, int32_t rowSpan,
                                 int64_t capacity);

/* ---- Mouse ------------------------------------------------------------------------- */

typedef struct KsWin_MouseInput {
    uint32_t type;        /* KSWIN_MSG_MOUSE_DOWN, _UP, _MOVE, _DOUBLE_CLICK or _WHEEL */
    int32_t x;            /* in the client coordinates of the window given to KsWin_SendMouse */
    int32_t y;
    uint32_t button;      /* down, up, double click: exactly one KSWIN_BUTTON_... */
    uint32_t modifiers;   /* KSWIN_MOD_... held */
    int32_t wheelDelta;   /* wheel */
} KsWin_MouseInput;

/* Delivers one mouse event at a point of `window` (usually a top-level
 * window): to the window that has the mouse captured, else to the deepest
 * visible window under the point (KSWIN_ERROR_NOT_FOUND when there is none:
 * a point outside it, or a hidden window; a move then still tells the window
 * that had the last move that the pointer left it). The
 * system keeps which buttons are held: a press adds its button, a release
 * takes it away (a release of a button that is not held is delivered but
 * changes nothing). The receiving window goes to *receiver when receiver is
 * not null. */
KsWin_Status KsWin_SendMouse(KsWin_Window window, const KsWin_MouseInput* input, KsWin_Window* receiver);

#ifdef __cplusplus
}
#endif

#endif /* KESTROM_STANDINS_KESTROMWINDOWS_H */
