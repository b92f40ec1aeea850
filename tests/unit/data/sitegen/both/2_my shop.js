function RemoveFromBasket(nSelectedItem) {
  top.List [nSelectedItem].itemquantity = 0
  window.history.back() }
function DisplayShoppingCart(){
  var msg = "<HTML><HEAD><TITLE>Vendaro Display</TITLE></HEAD>"
  msg += "<CENTER><BR>"
  msg += "<table cellpadding='2' cellspacing='1' width='100%' border='1' bordercolor='#000000' bordercolorlight='#000000' bgcolor='#e3e3e3'>"
  msg += "<TR><font size='2' face='Verdana' class='std'><TH COLSPAN=6><font size='2' face='Verdana' class='std'>Contents of Vendaro</TH></TR>"
  msg += "<TR><TD><font size='2' face='Verdana' class='std'>Item ID</TD><TD><font size='2' face='Verdana' class='std'>Description</TD><TD>Price</TD><TD><font size='2' face='Verdana' class='std'>Quantity</TD><TD><font size='2' face='Verdana' class='std'>Total</TD><TD><font size='2' face='Verdana' class='std'>Remove</TD></TR>"
var totalPrice = 0
    for (var n =1; n <= top.List.length; n++) {
      if(top.List[n].itemquantity > 0) {
  msg += "<TR VALIGN='top'><TD><font size='2' face='Verdana' class='std'>"+ top.List[n].itemid +"</TD><TD><font size='2' face='Verdana' class='std'>" + top.List[n].itemdesc +"</TD>"
 var total = parseFloat(top.List[n].itemprice) * parseFloat(top.List[n].itemquantity)
  msg += "<TD><font size='2' face='Verdana' class='std'>"  + top.moneyFormat(top.List[n].itemprice) +"</TD><TD><font size='2' face='Verdana' class='std'>" + top.List[n].itemquantity +"</TD><TD>" + top.moneyFormat(total) +"</TD>"
  msg += ("<TD><font size='2' face='Verdana' class='std'><FORM><INPUT TYPE='button' VALUE='Remove' onClick='RemoveFromBasket(" + n + ")'></FORM></TD></TR>")
 totalPrice += parseFloat(total) } }
    msg += "<TR><font size='2' face='Verdana' class='std'><TH COLSPAN=4>Grand Total</TH><TD><font size='2' face='Verdana' class='std'>" + top.moneyFormat(totalPrice) +"</TD></TR>"
    msg += "</TABLE></CENTER>"
    document.write (msg) }
