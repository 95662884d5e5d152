#include "ClpAravisDevice.h"

struct _QnClpDevice {
    ArvDevice parent;
    ClpRig *rig;
    CLUINT32 cookie;
    std::string *xml;
    ArvGc *gc;
    int continues;
};

G_DEFINE_TYPE(QnClpDevice, qn_clp_device, ARV_TYPE_DEVICE)

namespace {

gboolean fail(QnClpDevice *self, CLINT32 result, GError **error)
{
    CLINT8 text[256] = {};
    CLUINT32 size = sizeof text;
    self->rig->Fn().errorText(-20104, text, &size, self->cookie); // the connection's last error
    g_set_error(error, ARV_DEVICE_ERROR, ARV_DEVICE_ERROR_PROTOCOL_ERROR, "CLProtocol %d: %s", result, text);
    return FALSE;
}

gboolean readMemory(ArvDevice *device, guint64 address, guint32 size, void *buffer, GError **error)
{
    QnClpDevice *self = QN_CLP_DEVICE(device);
    const CLINT32 result = self->rig->Fn().read(&self->rig->Serial(), self->cookie, static_cast<CLINT64>(address),
                                                static_cast<CLINT8 *>(buffer), size, kHostTimeoutMs);
    return result == 0 ? TRUE : fail(self, result, error);
}

gboolean writeMemory(ArvDevice *device, guint64 address, guint32 size, void *buffer, GError **error)
{
    QnClpDevice *self = QN_CLP_DEVICE(device);
    ISerial *serial = &self->rig->Serial();
    CLINT32 result = self->rig->Fn().write(serial, self->cookie, static_cast<CLINT64>(address),
                                           static_cast<const CLINT8 *>(buffer), size, kHostTimeoutMs);
    while (result == 20101) { // CL_ERR_PENDING_WRITE
        ++self->continues;
        result = self->rig->Fn().continueWrite(serial, self->cookie, 1, kHostTimeoutMs);
    }
    return result == 0 ? TRUE : fail(self, result, error);
}

ArvGc *genicam(ArvDevice *device)
{
    return QN_CLP_DEVICE(device)->gc;
}

const char *genicamXml(ArvDevice *device, size_t *size)
{
    QnClpDevice *self = QN_CLP_DEVICE(device);
    *size = self->xml->size();
    return self->xml->c_str();
}

void finalize(GObject *object)
{
    QnClpDevice *self = QN_CLP_DEVICE(object);
    g_clear_object(&self->gc);
    delete self->xml;
    G_OBJECT_CLASS(qn_clp_device_parent_class)->finalize(object);
}

} // namespace

static void qn_clp_device_init(QnClpDevice *self)
{
    self->rig = nullptr;
    self->xml = new std::string;
    self->gc = nullptr;
    self->continues = 0;
}

static void qn_clp_device_class_init(QnClpDeviceClass *klass)
{
    G_OBJECT_CLASS(klass)->finalize = finalize;
    ArvDeviceClass *device = ARV_DEVICE_CLASS(klass);
    device->read_memory = readMemory;
    device->write_memory = writeMemory;
    device->get_genicam = genicam;
    device->get_genicam_xml = genicamXml;
}

QnClpDevice *qn_clp_device_new(ClpRig &rig, CLUINT32 cookie)
{
    auto *self = static_cast<QnClpDevice *>(g_object_new(QN_TYPE_CLP_DEVICE, nullptr));
    self->rig = &rig;
    self->cookie = cookie;
    CLINT8 id[256] = {};
    CLUINT32 size = sizeof id;
    rig.Fn().xmlIds(&rig.Serial(), cookie, id, &size, kHostTimeoutMs);
    CLUINT32 needed = 0;
    rig.Fn().xmlDescription(&rig.Serial(), cookie, id, nullptr, &needed, kHostTimeoutMs);
    self->xml->resize(needed);
    rig.Fn().xmlDescription(&rig.Serial(), cookie, id, self->xml->data(), &needed, kHostTimeoutMs);
    self->xml->resize(needed > 0 ? needed - 1 : 0);
    self->gc = arv_gc_new(ARV_DEVICE(self), self->xml->data(), self->xml->size());
    // The library is the one to refuse a value outside the limits, before the wire.
    arv_gc_set_range_check_policy(self->gc, ARV_RANGE_CHECK_POLICY_DISABLE);
    return self;
}

int qn_clp_device_pending_continues(QnClpDevice *device)
{
    return device->continues;
}
