#pragma once

#include <QByteArray>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

namespace ww::platform {

// One interface of ours on the bus, at one path, as QtDBus generates it from
// the interface's XML file (qt_add_dbus_adaptor): the adaptor's slots are its
// methods, its properties the interface's properties, its signals the
// signals, each in the C++ types the XML names. The XML is the one place the
// interface is written.
//
// QtDBus's own dispatch (QDBusConnection::registerObject) answers a call in a
// signature none of the adaptor's slots takes with UnknownMethod, and so it
// does Properties.Get with one argument; the D-Bus specification asks for
// InvalidArgs. So the adaptor is served as a virtual object: a call of one of
// its methods is checked against the signature QtDBus gives the slot's
// parameter types, before any argument is decoded, and answered InvalidArgs
// in any other. Unknown members get what QtDBus answers. As before the
// adaptors, the interface a call names is not checked (hosts that name
// another one reach the same methods). Properties are read-only.
class DBusExport final : public QDBusVirtualObject {
  public:
    // `adaptor` is the generated adaptor, a child of the object it serves.
    DBusExport(QDBusAbstractAdaptor& adaptor, QString path);
    ~DBusExport() override;
    DBusExport(const DBusExport&) = delete;
    DBusExport& operator=(const DBusExport&) = delete;

    const QString& Path() const { return path_; }
    const QString& Interface() const { return interface_; }

    // Serves at Path() on `bus`, leaving the connection served before.
    bool Register(const QDBusConnection& bus);
    void Unregister();

    // The connection it is served on, if any.
    const std::optional<QDBusConnection>& Served() const { return registered_; }

    // While a method of the adaptor runs for a call: the connection the call
    // came on.
    const QDBusConnection& Connection() const;
    // Answers the call now with `values`, for a method that acts once it has
    // answered; what it returns then goes nowhere.
    void Reply(const QVariantList& values = {});
    // Answers the call with an error instead of what the method returns.
    void ReplyError(QDBusError::ErrorType type, const QString& text);

    // Sends the interface's signal `name` from Path() on `bus` (debug builds
    // stop on arguments the interface does not give that signal).
    bool Emit(const QDBusConnection& bus, const char* name, const QVariantList& arguments = {});

    // Runs before each call to the object is handled, properties included.
    std::function<void()> onCall;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // The signature of a message's arguments; one made in this process gets
    // its signature only when sent, so it is worked out from the arguments.
    static QString SignatureOf(const QDBusMessage& message);

  private:
    struct Method {
        int index = -1;
        QMetaType result;      // invalid for void
        QList<QMetaType> in;   // the arguments the call brings
        QList<QMetaType> out;  // the reference parameters after them
        QString signature;     // of `in`
    };
    struct Call {
        const QDBusMessage& message;
        const QDBusConnection& connection;
        bool answered = false;
    };

    const QHash<QString, Method>& Methods();
    void Invoke(const Method& method, const QDBusMessage& message,
                const QDBusConnection& connection);
    void Properties(const QDBusMessage& message, const QDBusConnection& connection);
    std::optional<int> PropertyIndex(const QString& name) const;
    void Answer(Call& call, const QDBusMessage& answer);

    QDBusAbstractAdaptor& adaptor_;
    QString path_;
    QString interface_;
    std::optional<QHash<QString, Method>> methods_;
    std::optional<QDBusConnection> registered_;
    // The call a method of the adaptor runs for; a method that runs an event
    // loop may see another call in between.
    Call* call_ = nullptr;
};

}  // namespace ww::platform
