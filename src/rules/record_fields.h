#pragma once

// The fields of each record type, as the rules name them.  recordFields() lists them in order.

#include "rules/record_layout.h"

namespace bs::fields {

inline constexpr FieldSpec recordType{"Record Type", 1, 3};

namespace header {  // 001, 96 characters
inline constexpr FieldSpec companyId{"Company Id", 4, 15};
inline constexpr FieldSpec customerReference{"Customer Reference", 16, 47};
inline constexpr FieldSpec fileDate{"Message/File Date", 48, 55};
inline constexpr FieldSpec fileTime{"Message/File Time", 56, 61};
inline constexpr FieldSpec channelId{"Channel Id", 62, 64};
inline constexpr FieldSpec rest{"(not examined)", 65, 96};
}  // namespace header

namespace debit {  // 002, 109 characters
inline constexpr FieldSpec productCode{"Product Code", 4, 6};
inline constexpr FieldSpec valueDate{"Value Date", 7, 14};
inline constexpr FieldSpec account{"Debit Account No", 15, 39};
inline constexpr FieldSpec accountType{"Acct Type of Debit", 40, 41};
inline constexpr FieldSpec branchCode{"Debit Branch Code", 42, 45};
inline constexpr FieldSpec currency{"Debit Currency", 46, 48};
inline constexpr FieldSpec amount{"Debit Amount", 49, 64};
inline constexpr FieldSpec internalReference{"Internal Reference", 65, 72};
inline constexpr FieldSpec creditCount{"No. of Credits", 73, 78};
// A second home-bank account; under media clearing the fee account (79-93), a filler (94-102)
// and the Media Circle (103).
inline constexpr FieldSpec feeAccount{"Fee Debit Account", 79, 103};
inline constexpr FieldSpec feeAccountType{"Acct Type(Fee)", 104, 105};
inline constexpr FieldSpec feeBranchCode{"Debit Branch Code(Fee)", 106, 109};
}  // namespace debit

namespace credit {  // 003, 355 characters
inline constexpr FieldSpec sequence{"Credit Sequence Number", 4, 9};
inline constexpr FieldSpec account{"Credit Account No", 10, 34};
inline constexpr FieldSpec amount{"Credit Amount", 35, 50};
inline constexpr FieldSpec currency{"Credit Currency", 51, 53};
inline constexpr FieldSpec internalReference{"Internal Reference", 54, 61};
inline constexpr FieldSpec whtPresent{"WHT Present", 62, 62};
inline constexpr FieldSpec invoicesPresent{"Invoice Details Present", 63, 63};
inline constexpr FieldSpec adviceRequired{"Credit Advice Required", 64, 64};
inline constexpr FieldSpec deliveryMode{"Delivery Mode", 65, 65};
inline constexpr FieldSpec pickupLocation{"Pickup Location", 66, 69};
inline constexpr FieldSpec whtFormType{"WHT Form Type", 70, 71};
inline constexpr FieldSpec unexamined72{"(not examined)", 72, 85};
inline constexpr FieldSpec whtAttachNo{"WHT Attach No.", 86, 91};
inline constexpr FieldSpec whtCount{"No. of WHT Details", 92, 93};
inline constexpr FieldSpec whtTotal{"Total WHT Amount", 94, 109};
inline constexpr FieldSpec invoiceCount{"No. of Invoice Details", 110, 115};
inline constexpr FieldSpec invoiceTotal{"Total Invoice Amount", 116, 131};
inline constexpr FieldSpec whtPayType{"WHT Pay Type", 132, 132};
inline constexpr FieldSpec whtRemark{"WHT Remark", 133, 172};
inline constexpr FieldSpec whtDeductDate{"WHT Deduct Date", 173, 180};
inline constexpr FieldSpec receivingBank{"Receiving Bank Code", 181, 183};
inline constexpr FieldSpec receivingBankName{"Receiving Bank Name", 184, 218};
inline constexpr FieldSpec receivingBranch{"Receiving Branch Code", 219, 222};
inline constexpr FieldSpec unexamined223{"(not examined)", 223, 257};
inline constexpr FieldSpec whtSignatory{"WHT Signatory", 258, 258};
inline constexpr FieldSpec notification{"Beneficiary Notification", 259, 259};
inline constexpr FieldSpec chequeReference{"Cheque Reference Number", 260, 279};
inline constexpr FieldSpec chequeDocumentType{"Cheque Reference Document Type", 280, 280};
inline constexpr FieldSpec paymentTypeCode{"Payment Type Code", 281, 283};
inline constexpr FieldSpec servicesType{"ServicesType", 284, 285};
inline constexpr FieldSpec rest{"(not examined)", 286, 355};
}  // namespace credit

namespace payee {  // 004, 816 characters
inline constexpr FieldSpec internalReference{"Internal Reference", 4, 11};
inline constexpr FieldSpec creditSequence{"Credit Sequence Number", 12, 17};
inline constexpr FieldSpec idCard{"Payee1 ID Card", 18, 32};
inline constexpr FieldSpec nameTh{"Payee1 Name(Thai)", 33, 132};
inline constexpr FieldSpec unexamined133{"(not examined)", 133, 342};
inline constexpr FieldSpec taxId{"Payee1 Tax ID", 343, 352};
inline constexpr FieldSpec nameEn{"Payee1 Name(English)", 353, 422};
inline constexpr FieldSpec fax{"Payee 1 Fax Number", 423, 432};
inline constexpr FieldSpec unexamined433{"(not examined)", 433, 506};
inline constexpr FieldSpec payee2NameTh{"Payee2 Name(Thai)", 507, 606};
inline constexpr FieldSpec rest{"(not examined)", 607, 816};
}  // namespace payee

namespace wht {  // 005, 138 characters
inline constexpr FieldSpec internalReference{"Internal Reference", 4, 11};
inline constexpr FieldSpec creditSequence{"Credit Sequence No.", 12, 17};
inline constexpr FieldSpec whtSequence{"WHT Sequence No.", 18, 19};
inline constexpr FieldSpec amount{"WHT Amount", 20, 35};
inline constexpr FieldSpec incomeType{"WHT Income Type", 36, 40};
inline constexpr FieldSpec description{"Income Description", 41, 120};
inline constexpr FieldSpec deductRate{"WHT Deduct Rate", 121, 122};
inline constexpr FieldSpec incomeAmount{"Income Type Amount", 123, 138};
}  // namespace wht

namespace invoice {  // 006, 196 characters
inline constexpr FieldSpec internalReference{"Internal Reference", 4, 11};
inline constexpr FieldSpec creditSequence{"Credit Sequence No.", 12, 17};
inline constexpr FieldSpec invoiceSequence{"Invoice Sequence No.", 18, 23};
inline constexpr FieldSpec invoiceNumber{"Invoice Number", 24, 38};
inline constexpr FieldSpec amount{"Invoice Amount", 39, 54};
inline constexpr FieldSpec date{"Invoice Date", 55, 62};
inline constexpr FieldSpec unexamined63{"(not examined)", 63, 147};
inline constexpr FieldSpec vatAmount{"VAT Amount", 148, 163};
inline constexpr FieldSpec payeeChargeAmount{"Payee Charge Amount", 164, 179};
inline constexpr FieldSpec whtAmount{"WHT Amount", 180, 195};
inline constexpr FieldSpec printLanguage{"Print Language", 196, 196};
}  // namespace invoice

namespace directDebit {  // 007, 300 characters
inline constexpr FieldSpec productCode{"Product Code", 4, 6};
inline constexpr FieldSpec internalReference{"Internal Reference", 7, 14};
inline constexpr FieldSpec valueDate{"Value Date", 15, 22};
inline constexpr FieldSpec processingRound{"Processing Round", 23, 24};
inline constexpr FieldSpec firstAccount{"First Account No", 25, 49};
inline constexpr FieldSpec unexamined50{"(not examined)", 50, 58};
inline constexpr FieldSpec creditAccount{"Credit Account No", 59, 83};
inline constexpr FieldSpec unexamined84{"(not examined)", 84, 92};
inline constexpr FieldSpec currency{"Credit Currency", 93, 95};
inline constexpr FieldSpec rest{"(not examined)", 96, 300};
}  // namespace directDebit

namespace directDebitItem {  // 008, 200 characters
inline constexpr FieldSpec internalReference{"Internal Reference", 4, 11};
inline constexpr FieldSpec sequence{"Debit Sequence Number", 12, 17};
inline constexpr FieldSpec account{"Debit Account No", 18, 42};
inline constexpr FieldSpec currency{"Debit Currency", 43, 45};
inline constexpr FieldSpec rest{"(not examined)", 46, 200};
}  // namespace directDebitItem

namespace trailer {  // 999, 31 characters
inline constexpr FieldSpec debitCount{"Total No. of Debits", 4, 9};
inline constexpr FieldSpec creditCount{"Total No. of Credits", 10, 15};
inline constexpr FieldSpec totalAmount{"Total Amount", 16, 31};
}  // namespace trailer

}  // namespace bs::fields
