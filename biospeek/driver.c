/* Biospeek.sys: a kernel driver that answers typescan's three requests from
   an SMBIOS table: the file a test bench names, the file Biospeek.dat
   beside the driver when there is one, else the firmware's table. Device
   \Device\BIOSPEEK, link \DosDevices\BIOSPEEK. */
#include <ntddk.h>

#include "biospeek/protocol.h"
#include "biospeek/table.h"

#define BIOSPEEK_TAG 0x6B707342u /* 'Bspk' */
#define IMAGE_PATH_CAPACITY 300u
#define DATA_NAME_ROOM 16u              /* room left for the table file's name */
#define BIOS_AREA 0xF0000               /* physical address of the BIOS area */
#define BIOS_AREA_SIZE 0x10000u
#define FIRMWARE_TABLE_GET 1u
#define WINDOWS_2000_AND_XP 5u          /* the major version that may map the BIOS area */
#define FIRMWARE_TABLE_CLASS 76 /* SystemFirmwareTableInformation */
#define RSMB_SIGNATURE 0x52534D42u

typedef struct DeviceState {
    UCHAR* bytes; /* what the table was found in; owned */
    BiospeekTable table;
} DeviceState;

typedef struct FirmwareTableRequest {
    ULONG providerSignature;
    ULONG action; /* 1: get */
    ULONG tableId;
    ULONG tableBufferLength;
    UCHAR tableBuffer[1];
} FirmwareTableRequest;

NTSYSAPI NTSTATUS NTAPI ZwQuerySystemInformation(ULONG, PVOID, ULONG, PULONG);

static const WCHAR DeviceName[] = L"\\Device\\BIOSPEEK";
static const WCHAR LinkName[] = L"\\DosDevices\\BIOSPEEK";

/* A path from a string value of a registry key, as an NT path in `path`
   (a Win32 path gets the \??\ prefix); REG_EXPAND_SZ is taken only where
   `expandable` says so. */
static NTSTATUS ReadPathValue(PUNICODE_STRING keyPath, const WCHAR* name, BOOLEAN expandable,
                              WCHAR* path, USHORT capacity)
{
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    UNICODE_STRING valueName;
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 520];
    PKEY_VALUE_PARTIAL_INFORMATION value = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    ULONG length = 0;
    NTSTATUS status;
    USHORT used = 0, i, chars;
    const WCHAR* text;

    InitializeObjectAttributes(&attributes, keyPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                               NULL);
    status = ZwOpenKey(&key, KEY_READ, &attributes);
    if (!NT_SUCCESS(status))
        return status;
    RtlInitUnicodeString(&valueName, name);
    status = ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, value, sizeof buffer,
                             &length);
    ZwClose(key);
    if (!NT_SUCCESS(status) || (value->Type != REG_SZ && !(expandable && value->Type == REG_EXPAND_SZ)))
        return STATUS_UNSUCCESSFUL;
    text = (const WCHAR*)value->Data;
    chars = (USHORT)(value->DataLength / sizeof(WCHAR));
    while (chars > 0 && text[chars - 1] == 0)
        --chars;
    if (chars == 0 || chars + 5 > capacity)
        return STATUS_UNSUCCESSFUL;
    if (text[0] != L'\\') {
        path[used++] = L'\\';
        path[used++] = L'?';
        path[used++] = L'?';
        path[used++] = L'\\';
    }
    for (i = 0; i < chars; ++i)
        path[used++] = text[i];
    path[used] = 0;
    return STATUS_SUCCESS;
}

/* Reads a whole file of at most BIOSPEEK_MAX_TABLE_FILE bytes into pool memory. */
static UCHAR* ReadWholeFile(const WCHAR* path, ULONG* size)
{
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    FILE_STANDARD_INFORMATION info;
    HANDLE file;
    UCHAR* bytes = NULL;

    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                               NULL);
    if (!NT_SUCCESS(ZwCreateFile(&file, GENERIC_READ | SYNCHRONIZE, &attributes, &io, NULL,
                                 FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, FILE_OPEN,
                                 FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0)))
        return NULL;
    if (NT_SUCCESS(ZwQueryInformationFile(file, &io, &info, sizeof info, FileStandardInformation)) &&
        info.EndOfFile.HighPart == 0 && info.EndOfFile.LowPart > 0 &&
        info.EndOfFile.LowPart <= BIOSPEEK_MAX_TABLE_FILE) {
        *size = info.EndOfFile.LowPart;
        bytes = (UCHAR*)ExAllocatePoolWithTag(PagedPool, *size, BIOSPEEK_TAG);
        if (bytes && !(NT_SUCCESS(ZwReadFile(file, NULL, NULL, NULL, &io, bytes, *size, NULL, NULL)) &&
                       io.Information == *size)) {
            ExFreePoolWithTag(bytes, BIOSPEEK_TAG);
            bytes = NULL;
        }
    }
    ZwClose(file);
    return bytes;
}

/* Biospeek.dat beside the driver file. */
static UCHAR* ReadTableFile(PUNICODE_STRING registryPath, ULONG* size)
{
    static const WCHAR DataName[] = L"Biospeek.dat";
    WCHAR path[IMAGE_PATH_CAPACITY];
    USHORT end = 0, i, slash = 0;
    if (!NT_SUCCESS(ReadPathValue(registryPath, L"ImagePath", TRUE, path, IMAGE_PATH_CAPACITY - DATA_NAME_ROOM)))
        return NULL;
    while (path[end])
        ++end;
    for (i = 0; i < end; ++i) {
        if (path[i] == L'\\')
            slash = i + 1;
    }
    for (i = 0; DataName[i]; ++i)
        path[slash + i] = DataName[i];
    path[slash + i] = 0;
    return ReadWholeFile(path, size);
}

/* The table file that the REG_SZ value TableFile of HKLM\Software\Biospeek
   names, where a test bench has set it: so that a medium can be tried
   against another model's table wherever it starts typescan from. */
static UCHAR* ReadNamedTableFile(ULONG* size)
{
    UNICODE_STRING keyPath;
    WCHAR path[IMAGE_PATH_CAPACITY];
    RtlInitUnicodeString(&keyPath, L"\\Registry\\Machine\\Software\\Biospeek");
    if (!NT_SUCCESS(ReadPathValue(&keyPath, L"TableFile", FALSE, path, IMAGE_PATH_CAPACITY)))
        return NULL;
    return ReadWholeFile(path, size);
}

/* The firmware's SMBIOS table as a RawSMBIOSData block. */
static UCHAR* ReadFirmwareTable(ULONG* size)
{
    ULONG needed = 0;
    FirmwareTableRequest probe = {RSMB_SIGNATURE, FIRMWARE_TABLE_GET, 0, 0, {0}};
    FirmwareTableRequest* request;
    UCHAR* bytes = NULL;
    ZwQuerySystemInformation(FIRMWARE_TABLE_CLASS, &probe, sizeof probe, &needed);
    if (needed <= FIELD_OFFSET(FirmwareTableRequest, tableBuffer) || needed > BIOSPEEK_MAX_TABLE_FILE)
        return NULL;
    request = (FirmwareTableRequest*)ExAllocatePoolWithTag(PagedPool, needed, BIOSPEEK_TAG);
    if (!request)
        return NULL;
    RtlZeroMemory(request, needed);
    request->providerSignature = RSMB_SIGNATURE;
    request->action = FIRMWARE_TABLE_GET;
    request->tableBufferLength = needed - FIELD_OFFSET(FirmwareTableRequest, tableBuffer);
    if (NT_SUCCESS(ZwQuerySystemInformation(FIRMWARE_TABLE_CLASS, request, needed, &needed)) &&
        request->tableBufferLength > 8) {
        bytes = (UCHAR*)ExAllocatePoolWithTag(PagedPool, request->tableBufferLength, BIOSPEEK_TAG);
        if (bytes) {
            RtlCopyMemory(bytes, request->tableBuffer, request->tableBufferLength);
            *size = request->tableBufferLength;
        }
    }
    ExFreePoolWithTag(request, BIOSPEEK_TAG);
    return bytes;
}

/* Windows 2000 and XP: the table that the entry point in the BIOS area
   (physical 0xF0000 to 0xFFFFF) names, copied out of physical memory. */
static UCHAR* ReadPhysicalTable(ULONG* size)
{
    PHYSICAL_ADDRESS where;
    UCHAR* area;
    UCHAR* mapped;
    UCHAR* bytes = NULL;
    uint64_t address = 0;
    uint32_t length = 0;
    ULONG major = 0, minor = 0;

    PsGetVersion(&major, &minor, NULL, NULL);
    if (major != WINDOWS_2000_AND_XP)
        return NULL;
    where.QuadPart = BIOS_AREA;
    area = (UCHAR*)MmMapIoSpace(where, BIOS_AREA_SIZE, MmNonCached);
    if (!area)
        return NULL;
    if (!BiospeekFindEntryPoint(area, BIOS_AREA_SIZE, &address, &length) || length == 0 ||
        length > BIOSPEEK_MAX_TABLE_FILE)
        length = 0;
    MmUnmapIoSpace(area, BIOS_AREA_SIZE);
    if (length == 0)
        return NULL;
    where.QuadPart = (LONGLONG)address;
    mapped = (UCHAR*)MmMapIoSpace(where, length, MmNonCached);
    if (!mapped)
        return NULL;
    bytes = (UCHAR*)ExAllocatePoolWithTag(PagedPool, length, BIOSPEEK_TAG);
    if (bytes) {
        RtlCopyMemory(bytes, mapped, length);
        *size = length;
    }
    MmUnmapIoSpace(mapped, length);
    return bytes;
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT device, PIRP irp)
{
    (void)device;
    return Complete(irp, STATUS_SUCCESS, 0);
}

/* Buffered requests share one buffer for input and output: the 8-byte
   entry is copied out before the answer is written. */
static NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
    DeviceState* state = (DeviceState*)device->DeviceExtension;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const uint32_t request = BiospeekRequestOfCode(stack->Parameters.DeviceIoControl.IoControlCode);
    const ULONG inputSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outputSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR entry[BIOSPEEK_ENTRY_SIZE];
    size_t returned = 0;
    void* buffer = irp->AssociatedIrp.SystemBuffer;

    if (request == 0 || !state->bytes)
        return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    if (inputSize == BIOSPEEK_ENTRY_SIZE && buffer)
        RtlCopyMemory(entry, buffer, BIOSPEEK_ENTRY_SIZE);
    if (!BiospeekAnswer(&state->table, request, inputSize ? entry : NULL, inputSize, buffer,
                        outputSize, &returned))
        return Complete(irp, STATUS_INVALID_PARAMETER, 0);
    return Complete(irp, STATUS_SUCCESS, returned);
}

static void NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    PDEVICE_OBJECT device = driver->DeviceObject;
    RtlInitUnicodeString(&link, LinkName);
    IoDeleteSymbolicLink(&link);
    if (device) {
        DeviceState* state = (DeviceState*)device->DeviceExtension;
        if (state->bytes)
            ExFreePoolWithTag(state->bytes, BIOSPEEK_TAG);
        IoDeleteDevice(device);
    }
}

/* Keeps `bytes` as the device's table when a table is found in them;
   otherwise frees them. */
static BOOLEAN TakeTable(DeviceState* state, UCHAR* bytes, ULONG size)
{
    if (!bytes)
        return FALSE;
    if (BiospeekFindTable(bytes, size, &state->table)) {
        state->bytes = bytes;
        return TRUE;
    }
    ExFreePoolWithTag(bytes, BIOSPEEK_TAG);
    return FALSE;
}

/* Where the table comes from: the file a test bench names, when it holds
   a table; else, first found wins, the file beside the driver, the
   firmware table, the table in physical memory. A file beside the driver
   is the table even when it holds none: that is how a test shows typescan
   a broken table. */
static void LoadTable(DeviceState* state, PUNICODE_STRING registryPath)
{
    ULONG size = 0;
    UCHAR* bytes = ReadNamedTableFile(&size);
    if (TakeTable(state, bytes, size))
        return;
    bytes = ReadTableFile(registryPath, &size);
    if (!bytes)
        bytes = ReadFirmwareTable(&size);
    if (bytes) {
        TakeTable(state, bytes, size);
        return;
    }
    bytes = ReadPhysicalTable(&size);
    if (bytes && BiospeekWalkTable(bytes, size, &state->table))
        state->bytes = bytes;
    else if (bytes)
        ExFreePoolWithTag(bytes, BIOSPEEK_TAG);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING deviceName, linkName;
    PDEVICE_OBJECT device;
    DeviceState* state;
    NTSTATUS status;

    RtlInitUnicodeString(&deviceName, DeviceName);
    /* FILE_DEVICE_SECURE_OPEN: the device's access list also guards names
       below it, such as \\.\BIOSPEEK\anything. */
    status = IoCreateDevice(driver, sizeof(DeviceState), &deviceName, BIOSPEEK_DEVICE_TYPE,
                            FILE_DEVICE_SECURE_OPEN, FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    state = (DeviceState*)device->DeviceExtension;
    RtlZeroMemory(state, sizeof *state);
    LoadTable(state, registryPath);
    RtlInitUnicodeString(&linkName, LinkName);
    status = IoCreateSymbolicLink(&linkName, &deviceName);
    if (!NT_SUCCESS(status)) {
        if (state->bytes)
            ExFreePoolWithTag(state->bytes, BIOSPEEK_TAG);
        IoDeleteDevice(device);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
