#pragma once
// The twelve tabs of the main window, in their order.
namespace velcaris::app {

enum class Tab { Agenda, Interventi, Condomini, Memo, Preventivo, Entrate, Uscite, Fornitori, Anagrafe, Locali, Quote, Stampe };

} // namespace velcaris::app
