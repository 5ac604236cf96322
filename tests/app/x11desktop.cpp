#include "x11desktop.h"

#include <QProcess>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Disconnect
{
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

QRect screenGeometry(xcb_connection_t* connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return {};
    const xcb_window_t root = geometry->root;
    const QSize size(geometry->width, geometry->height);
    std::free(geometry);
    xcb_translate_coordinates_reply_t* place = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr);
    if (!place)
        return {};
    const QRect rect(QPoint(place->dst_x, place->dst_y), size);
    std::free(place);
    return rect;
}

} // namespace

bool X11Desktop::xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QList<X11Desktop::Window> X11Desktop::visibleWindows(qint64 pid)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--pid"), QString::number(pid)});
    if (!search.waitForFinished(10000))
        return {};
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()))
        return {};
    QList<Window> windows;
    const QList<QByteArray> ids = search.readAllStandardOutput().split('\n');
    for (const QByteArray& id : ids) {
        bool ok = false;
        const quint32 window = id.trimmed().toUInt(&ok);
        if (ok)
            windows.append({window, screenGeometry(connection.get(), window)});
    }
    return windows;
}

X11Desktop::Window X11Desktop::visibleWindowOfWidth(qint64 pid, int width)
{
    for (const Window& window : visibleWindows(pid)) {
        if (window.geometry.width() == width)
            return window;
    }
    return {};
}

bool X11Desktop::requestClose(quint32 window)
{
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()))
        return false;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection.get(), "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection.get(), "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_generic_error_t* error = xcb_request_check(
        connection.get(),
        xcb_send_event_checked(connection.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&event)));
    const bool sent = !error;
    std::free(error);
    return sent;
}

bool X11Desktop::screenshot(const QString& path)
{
    return QProcess::execute(QStringLiteral("import"),
                             {QStringLiteral("-window"), QStringLiteral("root"), path})
        == 0;
}

bool X11Desktop::windowManagerRunning()
{
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()))
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection.get(),
        xcb_get_property(connection.get(), 0, root,
                         atom(connection.get(), "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    const bool running = reply && xcb_get_property_value_length(reply) == 4;
    std::free(reply);
    return running;
}

quint32 X11Desktop::focusedWindow()
{
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()))
        return 0;
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection.get(), xcb_get_input_focus(connection.get()), nullptr);
    const quint32 focus = reply ? reply->focus : 0;
    std::free(reply);
    return focus;
}

bool X11Desktop::isAncestorOrSelf(quint32 ancestor, quint32 window)
{
    const Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()))
        return false;
    while (window != 0 && window != ancestor) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
            connection.get(), xcb_query_tree(connection.get(), window), nullptr);
        window = tree && tree->parent != tree->root ? tree->parent : 0;
        std::free(tree);
    }
    return window != 0 && window == ancestor;
}

X11Desktop::OtherProgram::OtherProgram(const QRect& geometry)
{
    xcb_connection_t* own = xcb_connect(nullptr, nullptr);
    connection = own;
    if (xcb_connection_has_error(own))
        return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(own)).data;
    id = xcb_generate_id(own);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(own, XCB_COPY_FROM_PARENT, id, screen->root, std::int16_t(geometry.x()),
                      std::int16_t(geometry.y()), std::uint16_t(geometry.width()),
                      std::uint16_t(geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_map_window(own, id);
    xcb_flush(own);
}

X11Desktop::OtherProgram::~OtherProgram()
{
    auto* own = static_cast<xcb_connection_t*>(connection);
    if (own && id)
        xcb_destroy_window(own, id);
    if (own)
        xcb_disconnect(own);
}
