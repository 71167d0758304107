#include "platform/linux/tray/sni/DBusExport.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QVarLengthArray>

namespace ww::platform {
namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString kPeer = QStringLiteral("org.freedesktop.DBus.Peer");

QString SignatureOfTypes(const QList<QMetaType>& types) {
    QString signature;
    for (const QMetaType& type : types) {
        const char* one = QDBusMetaType::typeToSignature(type);
        if (one == nullptr) {
            return QStringLiteral("?");  // not a D-Bus type: no call matches
        }
        signature += QLatin1String(one);
    }
    return signature;
}

// `argument` as a value of `type`: QtDBus hands basic types over as they
// are and the others as a QDBusArgument to decode.
bool Decode(const QVariant& argument, QMetaType type, QVariant& value) {
    if (argument.metaType() == type) {
        value = argument;
        return true;
    }
    if (argument.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return false;
    }
    value = QVariant(type);
    return QDBusMetaType::demarshall(qvariant_cast<QDBusArgument>(argument), type, value.data());
}

QString Wrong(const QString& what, const QString& expected, const QString& got) {
    return QStringLiteral("%1 takes (%2), not (%3)").arg(what, expected, got);
}

}  // namespace

DBusExport::DBusExport(QDBusAbstractAdaptor& adaptor, QString path)
    : adaptor_(adaptor), path_(std::move(path)) {
    const QMetaObject* meta = adaptor_.metaObject();
    interface_ =
        QString::fromLatin1(meta->classInfo(meta->indexOfClassInfo("D-Bus Interface")).value());
}

DBusExport::~DBusExport() {
    Unregister();
}

bool DBusExport::Register(const QDBusConnection& bus) {
    if (registered_ && registered_->name() == bus.name() && registered_->isConnected()) {
        return true;
    }
    Unregister();
    QDBusConnection connection = bus;
    if (!connection.registerVirtualObject(path_, this)) {
        return false;
    }
    registered_ = connection;
    return true;
}

void DBusExport::Unregister() {
    if (registered_) {
        registered_->unregisterObject(path_);
        registered_.reset();
    }
}

const QHash<QString, DBusExport::Method>& DBusExport::Methods() {
    if (methods_) {
        return *methods_;
    }
    // Worked out at the first call, once the program has made its types
    // known to QtDBus.
    methods_.emplace();
    const QMetaObject* meta = adaptor_.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod slot = meta->method(i);
        if (slot.methodType() != QMetaMethod::Slot || slot.access() != QMetaMethod::Public) {
            continue;
        }
        Method method;
        method.index = i;
        if (slot.returnMetaType() != QMetaType::fromType<void>()) {
            method.result = slot.returnMetaType();
        }
        for (int p = 0; p < slot.parameterCount(); ++p) {
            // Output parameters are the non-const references, as QtDBus has
            // it; moc gives those a type of their own, found by name.
            const QByteArray name = slot.parameterTypeName(p);
            if (name.endsWith('&')) {
                method.out.push_back(QMetaType::fromName(name.chopped(1)));
            } else {
                method.in.push_back(slot.parameterMetaType(p));
            }
        }
        method.signature = SignatureOfTypes(method.in);
        for (const QMetaType& type : method.out) {
            if (!type.isValid()) {
                Q_ASSERT_X(false, "DBusExport", slot.methodSignature().constData());
                method.signature = QStringLiteral("?");  // never called
            }
        }
        methods_->insert(QString::fromLatin1(slot.name()), method);
    }
    return *methods_;
}

QString DBusExport::SignatureOf(const QDBusMessage& message) {
    if (!message.signature().isEmpty() || message.arguments().isEmpty()) {
        return message.signature();
    }
    QString signature;
    for (const QVariant& argument : message.arguments()) {
        if (argument.metaType() == QMetaType::fromType<QDBusArgument>()) {
            signature += qvariant_cast<QDBusArgument>(argument).currentSignature();
        } else {
            signature += SignatureOfTypes({argument.metaType()});
        }
    }
    return signature;
}

QString DBusExport::introspect(const QString&) const {
    const QMetaObject* meta = adaptor_.metaObject();
    return QString::fromUtf8(
        meta->classInfo(meta->indexOfClassInfo("D-Bus Introspection")).value());
}

bool DBusExport::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QString& interface = message.interface();
    if (interface == kIntrospectable || interface == kPeer) {
        return false;  // QtDBus answers these
    }
    if (onCall) {
        onCall();
    }
    if (interface == kProperties) {
        Properties(message, connection);
        return true;
    }
    const auto& methods = Methods();
    const auto method = methods.find(message.member());
    if (method == methods.end()) {
        return false;  // QtDBus answers UnknownMethod
    }
    const QString signature = SignatureOf(message);
    if (signature != method->signature) {
        Call call{message, connection};
        Answer(call, message.createErrorReply(QDBusError::InvalidArgs,
                                              Wrong(interface_ + u'.' + message.member(),
                                                    method->signature, signature)));
        return true;
    }
    Invoke(*method, message, connection);
    return true;
}

void DBusExport::Invoke(const Method& method, const QDBusMessage& message,
                        const QDBusConnection& connection) {
    const QList<QVariant> arguments = message.arguments();
    QList<QVariant> in(method.in.size());
    for (qsizetype i = 0; i < method.in.size(); ++i) {
        if (!Decode(arguments.value(i), method.in[i], in[i])) {
            Call call{message, connection};
            Answer(call,
                   message.createErrorReply(QDBusError::InvalidArgs,
                                            QStringLiteral("Undecodable argument %1").arg(i)));
            return;
        }
    }
    QList<QVariant> out;
    if (method.result.isValid()) {
        out.push_back(QVariant(method.result));
    }
    for (const QMetaType& type : method.out) {
        out.push_back(QVariant(type));
    }
    QVarLengthArray<void*, 8> argv;
    argv.push_back(method.result.isValid() ? out.front().data() : nullptr);
    for (QVariant& value : in) {
        argv.push_back(value.data());
    }
    for (qsizetype i = method.result.isValid() ? 1 : 0; i < out.size(); ++i) {
        argv.push_back(out[i].data());
    }

    Call call{message, connection};
    Call* const outer = call_;
    call_ = &call;
    QMetaObject::metacall(&adaptor_, QMetaObject::InvokeMetaMethod, method.index, argv.data());
    call_ = outer;
    if (!call.answered) {
        Answer(call, message.createReply(out));
    }
}

std::optional<int> DBusExport::PropertyIndex(const QString& name) const {
    const QMetaObject* meta = adaptor_.metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    if (index < meta->propertyOffset()) {
        return std::nullopt;  // none, or QObject's own objectName
    }
    return index;
}

void DBusExport::Properties(const QDBusMessage& message, const QDBusConnection& connection) {
    Call call{message, connection};
    const QString member = message.member();
    const QString signature = SignatureOf(message);
    const QList<QVariant> arguments = message.arguments();
    const QMetaObject* meta = adaptor_.metaObject();
    const auto expect = [&](const char* wanted) {
        if (signature == QLatin1String(wanted)) {
            return true;
        }
        Answer(call, message.createErrorReply(
                         QDBusError::InvalidArgs,
                         Wrong(kProperties + u'.' + member, QLatin1String(wanted), signature)));
        return false;
    };
    const auto unknown = [&](const QString& name) {
        Answer(call, message.createErrorReply(QDBusError::InvalidArgs, "No such property " + name));
    };
    if (member == QLatin1String("Get")) {
        if (!expect("ss")) {
            return;
        }
        const QString name = arguments[1].toString();
        const auto index = PropertyIndex(name);
        if (!index) {
            unknown(name);
            return;
        }
        const QVariant value = meta->property(*index).read(&adaptor_);
        Answer(call, message.createReply(QVariant::fromValue(QDBusVariant(value))));
    } else if (member == QLatin1String("GetAll")) {
        if (!expect("s")) {
            return;
        }
        QVariantMap all;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            all.insert(QString::fromLatin1(meta->property(i).name()),
                       meta->property(i).read(&adaptor_));
        }
        Answer(call, message.createReply(all));
    } else if (member == QLatin1String("Set")) {
        if (!expect("ssv")) {
            return;
        }
        const QString name = arguments[1].toString();
        if (!PropertyIndex(name)) {
            unknown(name);
            return;
        }
        Answer(call, message.createErrorReply(QDBusError::PropertyReadOnly,
                                              "Property " + name + " is read-only"));
    } else {
        Answer(call, message.createErrorReply(QDBusError::UnknownMethod,
                                              "No such method " + kProperties + u'.' + member));
    }
}

const QDBusConnection& DBusExport::Connection() const {
    Q_ASSERT(call_ != nullptr);
    return call_->connection;
}

void DBusExport::Reply(const QVariantList& values) {
    Q_ASSERT(call_ != nullptr);
    if (!call_->answered) {
        Answer(*call_, call_->message.createReply(values));
    }
}

void DBusExport::ReplyError(QDBusError::ErrorType type, const QString& text) {
    Q_ASSERT(call_ != nullptr);
    if (!call_->answered) {
        Answer(*call_, call_->message.createErrorReply(type, text));
    }
}

void DBusExport::Answer(Call& call, const QDBusMessage& answer) {
    call.answered = true;
    // As QtDBus: a caller that wants no answer gets none.
    if (call.message.isReplyRequired()) {
        call.connection.send(answer);
    }
}

bool DBusExport::Emit(const QDBusConnection& bus, const char* name, const QVariantList& arguments) {
#ifndef NDEBUG
    const QMetaObject* meta = adaptor_.metaObject();
    bool declared = false;
    for (int i = meta->methodOffset(); i < meta->methodCount() && !declared; ++i) {
        const QMetaMethod signal = meta->method(i);
        if (signal.methodType() != QMetaMethod::Signal || signal.name() != name) {
            continue;
        }
        QList<QMetaType> declaredTypes;
        QList<QMetaType> sentTypes;
        for (int p = 0; p < signal.parameterCount(); ++p) {
            declaredTypes.push_back(signal.parameterMetaType(p));
        }
        for (const QVariant& argument : arguments) {
            sentTypes.push_back(argument.metaType());
        }
        declared = SignatureOfTypes(declaredTypes) == SignatureOfTypes(sentTypes);
    }
    Q_ASSERT_X(declared, "DBusExport::Emit", name);
#endif
    QDBusMessage signal = QDBusMessage::createSignal(path_, interface_, QString::fromLatin1(name));
    signal.setArguments(arguments);
    return bus.send(signal);
}

}  // namespace ww::platform
