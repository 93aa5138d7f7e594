/*
 * Miradel fiscal register drivers: the C interface a driver plug-in implements.
 *
 * A plug-in is a shared library that Miradel loads with dlopen at start-up (the library is
 * named in the working folder's fiscal.cfg). It exports one entry function per register model
 * it drives:
 *
 *   const MiradelM130Driver* miradel_m130_driver(uint32_t host_abi_version);  Меркурий 130Ф
 *   const MiradelM114Driver* miradel_m114_driver(uint32_t host_abi_version);  Меркурий 114.1Ф
 *
 * The entry returns a table of functions that lives as long as the library is loaded, or NULL
 * when it cannot serve that version of the interface. Miradel refuses a table whose
 * abi_version differs from MIRADEL_FISCAL_ABI_VERSION, whose struct_size is smaller than the
 * table it knows, or that lacks a required function.
 *
 * Threads: Miradel calls one connection or component from one thread at a time (the opening
 * call may come from another thread than the later ones). Callbacks are made from inside the
 * call that raises them, on that call's thread.
 *
 * Strings passed in are zero-terminated and valid only during the call. docs/fiscal-driver.md
 * tells the full contract.
 */
#ifndef MIRADEL_FISCAL_DRIVER_ABI_H
#define MIRADEL_FISCAL_DRIVER_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MIRADEL_FISCAL_ABI_VERSION 1u

#define MIRADEL_M130_ENTRY "miradel_m130_driver"
#define MIRADEL_M114_ENTRY "miradel_m114_driver"

/* What the program tells a driver about its surroundings; strings are UTF-8. */
typedef struct MiradelFiscalHost {
    uint32_t struct_size; /* sizeof(MiradelFiscalHost) */
    const char* work_dir; /* the office's working folder; a driver may keep its files there */
    const char* options;  /* the model's "options" line of fiscal.cfg, or "" */
} MiradelFiscalHost;

/* ------------------------------------------------------------------------------------------
 * Меркурий 130Ф: a connection handle and seven calls, named after the ordinals of the
 * register's own driver library. Every call but open returns a result code, 0 for success.
 * Texts are in the DOS Cyrillic code page (CP866 letters), at most 128 bytes.
 * `answer` points to MIRADEL_M130_ANSWER_SIZE bytes, zero-filled by the caller; the driver
 * may put a zero-terminated answer of the register there.
 * ---------------------------------------------------------------------------------------- */
#define MIRADEL_M130_ANSWER_SIZE 128
#define MIRADEL_M130_TEXT_MAX 128

typedef struct MiradelM130Driver {
    uint32_t abi_version; /* MIRADEL_FISCAL_ABI_VERSION */
    uint32_t struct_size; /* sizeof(MiradelM130Driver) */

    /* Ordinal 1: opens the connection on COM port 1..8; 0 when the port cannot be opened. */
    intptr_t (*open)(const MiradelFiscalHost* host, int32_t com_port);
    /* Ordinal 8: the register's serial number into `answer`, empty when it does not answer. */
    int32_t (*serial_number)(intptr_t handle, char* answer);
    /* Ordinal 9: prints one text line. */
    int32_t (*print_text)(intptr_t handle, const char* text, char* answer);
    /* Ordinal 2: registers one sale line of the open check (opening one when none is); price,
     * quantity and amount in currency units, section 0..255; the two reserved arguments are 0. */
    int32_t (*sale_line)(intptr_t handle, const char* text, float price, float quantity,
                         float amount, uint8_t section, int32_t reserved1, int32_t reserved2,
                         char* answer);
    /* Ordinal 3: closes the open check with the cash payment tendered; reserved arguments 0. */
    int32_t (*close_check)(intptr_t handle, int32_t reserved1, int32_t reserved2, float payment,
                           char* answer);
    /* Ordinal 7: cancels the open check. */
    int32_t (*cancel_check)(intptr_t handle, char* answer);
    /* Ordinal 10: closes the connection; the handle is invalid afterwards. */
    int32_t (*close)(intptr_t handle);
} MiradelM130Driver;

typedef const MiradelM130Driver* (*MiradelM130Entry)(uint32_t host_abi_version);

/* ------------------------------------------------------------------------------------------
 * Меркурий 114.1Ф: a component instance with properties, events and operations.
 * An operation returns 0 when it succeeded. Otherwise it failed (the component "raised"):
 * the result is the component's error code (1..18, see docs/fiscal-driver.md; any other
 * positive value is possible) and *extended, when not NULL, receives its extended code.
 * Texts are Windows-1251. Money is in MIRADEL_M114_CURRENCY_SCALE parts of a currency unit.
 * Required: create, destroy, set_events, the three property setters, open and
 * set_retry_operation. Any other member may be NULL: the program then treats the operation as
 * failing with MIRADEL_M114_E_NOT_SUPPORTED (model and cutter as answering 0).
 * ---------------------------------------------------------------------------------------- */
#define MIRADEL_M114_CURRENCY_SCALE 10000

#define MIRADEL_M114_DOC_SALE 0   /* open_fiscal_doc: sale document */
#define MIRADEL_M114_ITEM_GOODS 0 /* add_item: kind "item" */
#define MIRADEL_M114_PAY_CASH 0   /* add_pay: cash */

#define MIRADEL_M114_OPER_NUMBER 1 /* add_oper_info: the operator's number */
#define MIRADEL_M114_OPER_NAME 2   /* add_oper_info: the operator's name */

#define MIRADEL_M114_NONFISCAL_FIRST 1 /* print_non_fiscal: first line of a document */
#define MIRADEL_M114_NONFISCAL_LAST 2  /* print_non_fiscal: last line of a document */

#define MIRADEL_M114_STATUS_LAST_DOC 0x20 /* check_ecr_status: the last check can be copied */

#define MIRADEL_M114_MODEL_114_1FMD 5 /* model(): prints the registration number on checks */

#define MIRADEL_M114_E_NOT_SUPPORTED 11 /* "Операция не поддер." */

typedef struct MiradelM114 MiradelM114; /* opaque component instance */

typedef struct MiradelM114DateTime {
    int32_t year, month, day, hour, minute, second;
} MiradelM114DateTime;

typedef struct MiradelM114Events {
    void* user;
    /* OnPrinterError: an operation is failing. The handler may call
     * set_retry_operation(component, 1) to have it tried again; otherwise it fails. */
    void (*printer_error)(void* user, MiradelM114* component, int32_t error_code,
                          int32_t extended_code);
    /* OnStatusUpdate: the register reported its day status during open_day or z_report:
     * positive while a day is open, negative when none is. The handler returns the status the
     * component goes on with; in open_day a positive answer means "already open, keep it". */
    int32_t (*status_update)(void* user, MiradelM114* component, int32_t status);
} MiradelM114Events;

typedef struct MiradelM114Driver {
    uint32_t abi_version; /* MIRADEL_FISCAL_ABI_VERSION */
    uint32_t struct_size; /* sizeof(MiradelM114Driver) */

    /* The component's life. create returns NULL when no instance can be made. */
    MiradelM114* (*create)(const MiradelFiscalHost* host);
    void (*destroy)(MiradelM114* component);
    /* Events; the table is copied, NULL members are not called. */
    void (*set_events)(MiradelM114* component, const MiradelM114Events* events);

    /* Properties. */
    int32_t (*set_port_num)(MiradelM114* component, int32_t port); /* COM port 1..8 */
    int32_t (*set_baud_rate)(MiradelM114* component, int32_t baud);
    int32_t (*set_password)(MiradelM114* component, const char* password);
    int32_t (*model)(MiradelM114* component);  /* model code, e.g. MIRADEL_M114_MODEL_114_1FMD */
    int32_t (*cutter)(MiradelM114* component); /* cutting capability: 2 or more can cut */

    /* Operations. */
    int32_t (*open)(MiradelM114* component, int32_t* extended);
    int32_t (*open_fiscal_doc)(MiradelM114* component, int32_t doc_type, int32_t* extended);
    int32_t (*add_header_line)(MiradelM114* component, int32_t header, int32_t line, int32_t column,
                               int32_t* extended); /* header 1..4 */
    int32_t (*add_serial_number)(MiradelM114* component, int32_t line, int32_t column,
                                 int32_t* extended);
    int32_t (*add_doc_number)(MiradelM114* component, int32_t line, int32_t column,
                              int32_t* extended);
    int32_t (*add_tax_payer_number)(MiradelM114* component, int32_t line, int32_t column,
                                    int32_t* extended);
    int32_t (*add_date_time)(MiradelM114* component, int32_t line, int32_t column,
                             int32_t* extended);
    int32_t (*add_receipt_number)(MiradelM114* component, int32_t line, int32_t column,
                                  int32_t* extended);
    int32_t (*add_oper_info)(MiradelM114* component, int32_t what, int32_t line, int32_t column,
                             int32_t* extended); /* what: MIRADEL_M114_OPER_* bits */
    int32_t (*add_custom)(MiradelM114* component, const char* text, int32_t line, int32_t column,
                          int32_t* extended);
    /* One item: price in currency parts, then the program's "amount" field (the workplace
     * number), the section and the quantity, all whole numbers. */
    int32_t (*add_item)(MiradelM114* component, int32_t kind, int64_t price, int32_t place,
                        int32_t section, int32_t quantity, int32_t line, int32_t* extended);
    int32_t (*add_total)(MiradelM114* component, int32_t line, int32_t column, int32_t* extended);
    int32_t (*add_pay)(MiradelM114* component, int32_t pay_type, int64_t amount, int32_t line,
                       int32_t column, int32_t* extended);
    int32_t (*add_change)(MiradelM114* component, int32_t line, int32_t column, int32_t* extended);
    int32_t (*add_reg_number)(MiradelM114* component, int32_t line, int32_t column,
                              int32_t* extended);
    int32_t (*close_fiscal_doc)(MiradelM114* component, int32_t* extended);
    int32_t (*cancel_fiscal_doc)(MiradelM114* component, int32_t* extended);
    /* A line of a non-fiscal document; the text ends with "\r\n"; flags MIRADEL_M114_NONFISCAL_*.
     */
    int32_t (*print_non_fiscal)(MiradelM114* component, const char* text, int32_t flags,
                                int32_t* extended);
    int32_t (*open_day)(MiradelM114* component, int32_t operator_number, int32_t* extended);
    int32_t (*x_report)(MiradelM114* component, int32_t* extended);
    int32_t (*z_report)(MiradelM114* component, int32_t* extended);
    int32_t (*feed_and_cut)(MiradelM114* component, int32_t lines, int32_t* extended);
    /* Drawer pulse; the program passes 1, 2, 2, 2. */
    int32_t (*external_pulse)(MiradelM114* component, int32_t output, int32_t on_time,
                              int32_t off_time, int32_t count, int32_t* extended);
    /* Sets the register clock to the program's date and time. */
    int32_t (*synchronize_ecr_date_time)(MiradelM114* component, const MiradelM114DateTime* now,
                                         int32_t* extended);
    int32_t (*copy_fiscal_doc)(MiradelM114* component, int32_t* extended);
    int32_t (*check_ecr_status)(MiradelM114* component, int32_t* status, int32_t* extended);
    /* Called from printer_error: 1 retries the failing operation. */
    void (*set_retry_operation)(MiradelM114* component, int32_t retry);
} MiradelM114Driver;

typedef const MiradelM114Driver* (*MiradelM114Entry)(uint32_t host_abi_version);

#ifdef __cplusplus
}
#endif

#endif /* MIRADEL_FISCAL_DRIVER_ABI_H */
