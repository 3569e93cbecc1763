#include "office/VbaProject.h"

#include <QByteArray>
#include <QFile>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

namespace {

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

void put32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

// A record of an id, a 32-bit size and its bytes.
void record(QByteArray &out, quint16 id, const QByteArray &data)
{
    put16(out, id);
    put32(out, quint32(data.size()));
    out.append(data);
}

QByteArray int32Bytes(quint32 v)
{
    QByteArray b;
    put32(b, v);
    return b;
}

QByteArray int16Bytes(quint16 v)
{
    QByteArray b;
    put16(b, v);
    return b;
}

QByteArray utf16(const char *text)
{
    const QString s = QString::fromLatin1(text);
    return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
}

// The compressed container: a signature byte, then chunks of literal tokens. A chunk
// decompresses to at most 4,096 bytes and holds at most 4,098; 3,640 source bytes with one
// flag byte per 8 of them fill 4,097.
QByteArray compress(const QByteArray &data)
{
    constexpr int kChunkSource = 3640;
    QByteArray out(1, char(0x01));
    for (int start = 0; start < data.size(); start += kChunkSource) {
        const QByteArray part = data.mid(start, kChunkSource);
        QByteArray body;
        for (int i = 0; i < part.size(); i += 8)
            body.append(char(0x00)).append(part.mid(i, 8)); // eight literal tokens
        put16(out, quint16(0xB000 | (body.size() - 1)));    // compressed, size - 3 with header
        out.append(body);
    }
    return out;
}

QByteArray dirStream(const QByteArray &moduleName)
{
    QByteArray d;
    record(d, 0x0001, int32Bytes(1));     // SysKind: 32-bit Windows
    record(d, 0x0002, int32Bytes(0x409)); // Lcid
    record(d, 0x0014, int32Bytes(0x409)); // LcidInvoke
    record(d, 0x0003, int16Bytes(1252));  // CodePage
    record(d, 0x0004, "VBAProject");      // Name
    record(d, 0x0005, {});                // DocString
    record(d, 0x0040, {});                //   its Unicode form
    record(d, 0x0006, {});                // HelpFile1
    record(d, 0x003D, {});                // HelpFile2
    record(d, 0x0007, int32Bytes(0));     // HelpContext
    record(d, 0x0008, int32Bytes(0));     // LibFlags
    put16(d, 0x0009);                     // Version: reserved 4, major, minor
    put32(d, 4);
    put32(d, 1);
    put16(d, 0);
    record(d, 0x000C, {});                 // Constants
    record(d, 0x003C, {});                 //   their Unicode form
    record(d, 0x000F, int16Bytes(1));      // one module
    record(d, 0x0013, int16Bytes(0xFFFF)); // ProjectCookie
    record(d, 0x0019, moduleName);         // ModuleName
    record(d, 0x0047, utf16(moduleName.constData()));
    record(d, 0x001A, moduleName); // StreamName
    record(d, 0x0032, utf16(moduleName.constData()));
    record(d, 0x001C, {}); // DocString
    record(d, 0x0048, {});
    record(d, 0x0031, int32Bytes(0));      // TextOffset: the source starts the stream
    record(d, 0x001E, int32Bytes(0));      // HelpContext
    record(d, 0x002C, int16Bytes(0xFFFF)); // Cookie
    record(d, 0x0021, {});                 // a standard (procedural) module
    record(d, 0x002B, {});                 // module terminator
    record(d, 0x0010, {});                 // dir terminator
    return compress(d);
}

QByteArray projectStream(const QByteArray &moduleName)
{
    return "ID=\"{00000000-0000-0000-0000-000000000000}\"\r\n"
           "Module=" +
           moduleName +
           "\r\n"
           "Name=\"VBAProject\"\r\n"
           "HelpContextID=\"0\"\r\n"
           "VersionCompatible32=\"393222000\"\r\n"
           "\r\n"
           "[Host Extender Info]\r\n"
           "&H00000001={3832D640-CF90-11CF-8E43-00A0C911005A};VBE;&H00000000\r\n"
           "\r\n"
           "[Workspace]\r\n" +
           moduleName + "=0, 0, 0, 0, C\r\n";
}

void writeChild(GsfOutfile *parent, const char *name, const QByteArray &bytes)
{
    GsfOutput *child = gsf_outfile_new_child(parent, name, FALSE);
    ASSERT_NE(child, nullptr) << name;
    EXPECT_TRUE(gsf_output_write(child, gsize(bytes.size()),
                                 reinterpret_cast<const guint8 *>(bytes.constData())));
    gsf_output_close(child);
    g_object_unref(child);
}

} // namespace

void writeVbaProject(const QString &path, const QString &source)
{
    const QByteArray module = "Module1";
    QByteArray text = "Attribute VB_Name = \"" + module + "\"\r\n" + source.toLatin1();
    text.replace("\r\n", "\n").replace("\n", "\r\n");
    // _VBA_PROJECT: reserved 0x61CC, version 0xFFFF (no valid compiled cache), reserved
    QByteArray vbaProject;
    put16(vbaProject, 0x61CC);
    put16(vbaProject, 0xFFFF);
    vbaProject.append(char(0));
    put16(vbaProject, 0);

    gsf_init();
    GError *error = nullptr;
    GsfOutput *file = gsf_output_stdio_new(QFile::encodeName(path).constData(), &error);
    ASSERT_NE(file, nullptr) << (error ? error->message : "cannot create the VBA project");
    GsfOutfile *root = gsf_outfile_msole_new(file);
    writeChild(root, "PROJECT", projectStream(module));
    GsfOutfile *vba = GSF_OUTFILE(gsf_outfile_new_child(root, "VBA", TRUE));
    writeChild(vba, "_VBA_PROJECT", vbaProject);
    writeChild(vba, "dir", dirStream(module));
    writeChild(vba, module.constData(), compress(text));
    gsf_output_close(GSF_OUTPUT(vba));
    g_object_unref(vba);
    gsf_output_close(GSF_OUTPUT(root)); // closes the file under it too
    g_object_unref(root);
    g_object_unref(file);
}
